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
  const QCommandLineOption view(
      QStringLiteral("view"),
      QStringLiteral("比較結果ファイルを比較結果ビューアで表示します。"
                     "ファイルを二つ指定すると（--view 旧ファイル 新ファイル）、"
                     "比較してその結果を表示します。"),
      QStringLiteral("比較結果"));
  parser.addOption(view);
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
  line.viewReport = parser.value(view);
  if (!line.viewReport.isEmpty() && line.fileNames.size() == 1) {
    line.viewNew = line.fileNames.takeFirst();
  } else if (!line.viewReport.isEmpty() && !line.fileNames.isEmpty()) {
    line.action = CommandLine::Action::kRefuse;
    line.text = QStringLiteral("--view のときは旧ファイルと新ファイルの二つまでです: %1")
                    .arg(line.fileNames.join(QLatin1Char(' ')));
  }
  return line;
}

}  // namespace verko
