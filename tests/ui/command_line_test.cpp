// The desktop program's command line: file names into the fields, --help and --version
// printed without a window (and without a display), refusals.
#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace verko {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, NamesOptionsAndRefusals) {
  struct {
    QStringList args;
    Action action;
    QStringList names;
  } const kCases[] = {
      {{}, Action::kOpenWindow, {}},
      {{"/a/old.txt"}, Action::kOpenWindow, {"/a/old.txt"}},
      {{"/a/旧.txt", "/a/新.txt", "/a/結果.txt"},
       Action::kOpenWindow,
       {"/a/旧.txt", "/a/新.txt", "/a/結果.txt"}},
      {{"--", "--version", "-x.txt"}, Action::kOpenWindow, {"--version", "-x.txt"}},
      {{"--help"}, Action::kPrintHelp, {}},
      {{"-h"}, Action::kPrintHelp, {}},
      {{"--version"}, Action::kPrintVersion, {}},
      {{"-v", "/a/old.txt"}, Action::kPrintVersion, {}},
      {{"--bogus"}, Action::kRefuse, {}},
      {{"a", "b", "c", "d"}, Action::kRefuse, {}},
      {{"--view", "/a/old.txt", "/a/new.txt", "/a/r.txt"}, Action::kRefuse, {}},
  };
  for (const auto& c : kCases) {
    const CommandLine line = ParseCommandLine(QStringList{"verko"} + c.args);
    const std::string where = c.args.join(' ').toStdString();
    EXPECT_EQ(line.action, c.action) << where;
    if (c.action == Action::kOpenWindow) {
      EXPECT_EQ(line.fileNames, c.names) << where;
    }
    if (c.action == Action::kRefuse) {
      EXPECT_FALSE(line.text.isEmpty()) << where;
    }
  }
  // Two files for the viewer, as git difftool gives them.
  const CommandLine pair = ParseCommandLine({"verko", "--view", "/a/old.txt", "/a/new.txt"});
  EXPECT_EQ(pair.action, Action::kOpenWindow);
  EXPECT_EQ(pair.viewReport, "/a/old.txt");
  EXPECT_EQ(pair.viewNew, "/a/new.txt");
  EXPECT_TRUE(pair.fileNames.isEmpty());
}

// Runs the program in an environment without any display.
QProcess* RunWithoutDisplay(const QStringList& args) {
  auto* process = new QProcess;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    env.remove(QLatin1String(name));
  }
  process->setProcessEnvironment(env);
  process->start(QStringLiteral(VERKO_UI_APP_DIR) + QStringLiteral("verko"), args);
  process->waitForFinished(20000);
  return process;
}

TEST(CommandLine, HelpAndVersionPrintAndEndWithoutAWindow) {
  std::unique_ptr<QProcess> version(RunWithoutDisplay({"--version"}));
  EXPECT_EQ(version->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(version->exitCode(), 0);
  EXPECT_EQ(QString::fromUtf8(version->readAllStandardOutput()), "Verko Ver 1.10.042\n");

  std::unique_ptr<QProcess> help(RunWithoutDisplay({"--help"}));
  EXPECT_EQ(help->exitCode(), 0);
  const QString usage = QString::fromUtf8(help->readAllStandardOutput());
  EXPECT_TRUE(usage.contains("[旧ファイル [新ファイル [比較結果]]]")) << usage.toStdString();
  EXPECT_TRUE(usage.contains("--version")) << usage.toStdString();
  EXPECT_FALSE(usage.contains("screenshot")) << usage.toStdString();

  std::unique_ptr<QProcess> bogus(RunWithoutDisplay({"--bogus"}));
  EXPECT_EQ(bogus->exitCode(), 2);
  EXPECT_TRUE(QString::fromUtf8(bogus->readAllStandardError()).contains("bogus"));
}

}  // namespace
}  // namespace verko
