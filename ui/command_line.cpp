#include "ui/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "ui/program_version.h"

namespace verko {

CommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Verko（テキストファイル比較）: 旧ファイルと新ファイルを行単位で比較し、"
                     "結果をテキストファイルに出力します。"));
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("使い方を表示します。"));
  parser.addOption(help);
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("バージョンを表示します。"));
  parser.addOption(version);
  QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("folder"));
  screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(screenshot);
  parser.addPositionalArgument(QStringLiteral("旧ファイル"), QStringLiteral("比較対象の旧ファイル"),
                               QStringLiteral("[旧ファイル"));
  parser.addPositionalArgument(QStringLiteral("新ファイル"), QStringLiteral("比較対象の新ファイル"),
                               QStringLiteral("[新ファイル"));
  parser.addPositionalArgument(QStringLiteral("比較結果"),
                               QStringLiteral("比較結果を格納するファイル"),
                               QStringLiteral("[比較結果]]]"));

  CommandLine line;
  if (!parser.parse(arguments)) {
    line.action = CommandLine::Action::kRefuse;
    line.text = parser.errorText();
    return line;
  }
  if (parser.isSet(help)) {
    line.action = CommandLine::Action::kPrintHelp;
    line.text = parser.helpText();
    return line;
  }
  if (parser.isSet(version)) {
    line.action = CommandLine::Action::kPrintVersion;
    line.text =
        QCoreApplication::applicationName() + QLatin1Char(' ') + VersionText() + QLatin1Char('\n');
    return line;
  }
  line.fileNames = parser.positionalArguments();
  if (line.fileNames.size() > 3) {
    line.action = CommandLine::Action::kRefuse;
    line.text = QStringLiteral("ファイル名は三つまでです（旧ファイル、新ファイル、比較結果）: %1")
                    .arg(line.fileNames.mid(3).join(QLatin1Char(' ')));
    return line;
  }
  line.screenshotFolder = parser.value(screenshot);
  return line;
}

}  // namespace verko
