// The main window from the keyboard: where the focus starts and where it returns after a
// run, the tab order, and the keys F1, Ctrl+Q and Esc (also while a pipe keeps the run
// waiting).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>
#include <chrono>
#include <thread>

#include "tests/support/scoped_env.h"
#include "tests/ui/window_fixture.h"
#include "ui/shared/help_window.h"

namespace verko::testing {
namespace {

class KeyboardTest : public WindowTest {
 protected:
  // Shows the window as the program does and makes it the active window.
  void ShowActive() {
    main_->show();
    QApplication::setActiveWindow(main_.get());
    WaitFor([&] { return QApplication::activeWindow() == main_.get(); }, 2000);
  }
  // The named control that holds the focus (a file field's text box counts as the field).
  QString FocusName() const {
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
      if (!widget->objectName().isEmpty()) return widget->objectName();
    }
    return QString();
  }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : main_.get();
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  }
};

TEST_F(KeyboardTest, FocusStartsAtTheFirstEmptyFileFieldOrTheStart) {
  struct {
    QStringList names;
    const char* focus;
  } const kCases[] = {
      {{}, "ComboOld"},
      {{"/a/old.txt"}, "ComboNew"},
      {{"/a/old.txt", "/a/new.txt"}, "ComboResult"},
      {{"/a/old.txt", "/a/new.txt", "/a/r.txt"}, "CmdStart"},
  };
  for (const auto& c : kCases) {
    Open();
    main_->SetFileNames(c.names);
    ShowActive();
    EXPECT_EQ(FocusName(), c.focus) << c.names.join(' ').toStdString();
    CloseAndReload();
  }
}

TEST_F(KeyboardTest, TabFollowsTheVisualOrder) {
  Open();
  for (const char* option : {"OptSplit", "OptDiffOnly", "OptDispWithEditor"}) {
    Check(option)->setChecked(true);  // their fields and buttons join the order
  }
  ShowActive();
  const QStringList order = {"ComboOld",       "CmdRefOld",         "ComboNew",
                             "CmdRefNew",      "ComboResult",       "CmdRefResult",
                             "OptTrimTop",     "OptTrimTail",       "OptCompress",
                             "OptSplit",       "TextSplitWidth",    "CmdSplitChars",
                             "OptDiffOnly",    "TextMatchLen",      "OptCharUnits",
                             "OptFewestMoves", "OptCaseSensitive",  "OptIgnoreWidth",
                             "ComboEncoding",  "ComboEncodingNew",  "ComboEncodingReport",
                             "ComboFormat",    "OptDispWithEditor", "CmdSetEditor",
                             "OptAlwaysTop",   "CmdworkPath",       "CmdStart",
                             "CmdCompareView", "CmdClose",          "CmdHelp",
                             "CmdBatch",       "ComboOld"};
  ASSERT_EQ(FocusName(), order[0]);
  QStringList forward{FocusName()};
  for (int i = 1; i < order.size(); ++i) {
    Press(Qt::Key_Tab);
    forward.append(FocusName());
  }
  EXPECT_EQ(forward, order);
  QStringList backward{FocusName()};
  for (int i = 1; i < order.size(); ++i) {
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    backward.append(FocusName());
  }
  QStringList reversed(order.rbegin(), order.rend());
  EXPECT_EQ(backward, reversed);
  EXPECT_TRUE(services_.messages.empty());
}

TEST_F(KeyboardTest, FocusReturnsToTheStartAfterEveryRun) {
  WriteInputs(300);
  OpenForRuns();
  ShowActive();
  // A completed run, a refused one (its message box closes) and a cancelled one.
  struct {
    const char* oldName;
    std::vector<MessageAnswer> answers;
    bool cancelWithEsc;
  } const kRuns[] = {
      {"old.txt", {}, false},
      {"", {}, false},
      {"old.txt", {MessageAnswer::kYes}, true},
  };
  int run = 0;
  for (const auto& r : kRuns) {
    SetNames(*r.oldName ? Path(r.oldName) : QString(), Path("new.txt"),
             Path(("r" + std::to_string(run++) + ".txt").c_str()));
    services_.answers.assign(r.answers.begin(), r.answers.end());
    if (r.cancelWithEsc) DuringRun([&] { Press(Qt::Key_Escape); });
    Button("CmdStart")->setFocus();
    Press(Qt::Key_Space);
    EXPECT_EQ(FocusName(), "CmdStart") << "run " << run;
  }
  EXPECT_EQ(main_->LastResult().status, kStatusCancelled);
  EXPECT_EQ(services_.Titles(), (QStringList{"ファイル指定ミス", "キャンセルの確認"}));
  EXPECT_EQ(main_->BatchWindow(), nullptr);
}

TEST_F(KeyboardTest, F1OpensHelpCtrlQClosesAndEscapeIsIdleWhenNothingRuns) {
  Open();
  ShowActive();
  Press(Qt::Key_Escape);  // no run: no question
  EXPECT_TRUE(services_.messages.empty());
  Press(Qt::Key_F1);
  auto* help = main_->findChild<HelpWindow*>("VerkoHelp");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->CurrentAnchor(), "main-window");
  help->close();
  QApplication::setActiveWindow(main_.get());
  Check("OptCompress")->setChecked(true);
  Press(Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(main_->isVisible());
  // Closed as 閉じる closes: the settings are written.
  EXPECT_EQ(store_->Read("OptCompress", ""), " 1");
}

TEST_F(KeyboardTest, KeysOfDisabledButtonsDoNothingDuringARun) {
  WriteInputs(300);
  OpenForRuns();
  ShowActive();
  SetNames(Path("old.txt"), Path("new.txt"), Path("r.txt"));
  bool visibleAfterCtrlQ = false;
  DuringRun([&] {
    Press(Qt::Key_F1);
    Press(Qt::Key_Q, Qt::ControlModifier);
    visibleAfterCtrlQ = main_->isVisible();
  });
  Button("CmdStart")->click();
  EXPECT_TRUE(visibleAfterCtrlQ);
  EXPECT_EQ(main_->findChild<HelpWindow*>("VerkoHelp"), nullptr);
  EXPECT_EQ(main_->LastResult().status, kStatusDone);
}

// Counts the paint events of the widget it watches.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(KeyboardTest, PipeWithoutWriterKeepsTheWindowAnsweringAndEscCancels) {
  test_support::ScopedEnv env;
  for (const char* name :
       {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
    env.Set(name, dir_.Path());
  }
  WriteInputs(20);
  ASSERT_EQ(mkfifo(dir_.File("pipe").c_str(), 0600), 0);
  OpenForRuns();
  ShowActive();
  SetNames(Path("pipe"), Path("new.txt"), Path("r.txt"));
  services_.answers = {MessageAnswer::kYes};
  PaintCounter counter;
  main_->installEventFilter(&counter);
  QElapsedTimer clock;
  qint64 escAt = -1;
  int paintsBeforeEsc = 0;
  QTimer::singleShot(200, main_.get(), [&] { main_->update(); });
  QTimer::singleShot(500, main_.get(), [&] {
    paintsBeforeEsc = counter.paints;
    escAt = clock.elapsed();
    Press(Qt::Key_Escape);
  });
  // Should the window block, a writer that comes and goes after 3 s ends the wait, so the
  // test fails instead of hanging.
  std::jthread unblock([&](std::stop_token stop) {
    for (int i = 0; i < 60 && !stop.stop_requested(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (stop.stop_requested()) return;
    const int fd = ::open(dir_.File("pipe").c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  clock.start();
  Button("CmdStart")->click();
  EXPECT_GT(paintsBeforeEsc, 0);
  EXPECT_GE(escAt, 0);
  EXPECT_LT(escAt, 1000);  // the timers were served while the run waited
  EXPECT_LT(clock.elapsed() - escAt, 1000);
  EXPECT_EQ(main_->LastResult().status, kStatusCancelled);
  EXPECT_EQ(services_.Titles(), QStringList{"キャンセルの確認"});
  EXPECT_TRUE(Button("CmdStart")->isEnabled());
}

}  // namespace
}  // namespace verko::testing
