// The main window from the keyboard: where the focus starts and where it returns after a
// run, the tab order, and the keys F1, Ctrl+Q and Esc.
#include <QTest>

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
  const QStringList order = {
      "ComboOld",         "CmdRefOld",      "ComboNew",          "CmdRefNew",    "ComboResult",
      "CmdRefResult",     "OptTrimTop",     "OptTrimTail",       "OptCompress",  "OptSplit",
      "TextSplitWidth",   "CmdSplitChars",  "OptDiffOnly",       "TextMatchLen", "ComboEncoding",
      "OptCaseSensitive", "OptIgnoreWidth", "OptDispWithEditor", "CmdSetEditor", "OptAlwaysTop",
      "CmdworkPath",      "CmdStart",       "CmdClose",          "CmdHelp",      "CmdBatch",
      "ComboOld"};
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

}  // namespace
}  // namespace verko::testing
