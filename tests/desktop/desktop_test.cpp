// The desktop program on a real X server with a window manager: the main window comes back
// where it was left, the settings dialogs open beside its frame, and help and message boxes
// stay above it when it is kept on top.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "batch/window/verko_batch.h"
#include "tests/core/batch_test_support.h"
#include "tests/desktop/x_desktop.h"
#include "tests/support/temp_dir.h"
#include "ui/qt_translation.h"
#include "ui/shared/field_values.h"
#include "ui/shared/help_window.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/verko_main.h"
#include "ui/viewer/report_viewer.h"

// Failures show texts, not UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace verko::testing {
namespace {

constexpr int kManageTimeout = 20000;

class DesktopTest : public ::testing::Test {
 protected:
  QString StorePath() const { return QString::fromStdString(dir_.File("Verko.ini")); }

  // Starts the window as the program does: settings loaded, then shown.
  VerkoMain& Start() {
    store_ = std::make_unique<SettingsStore>(StorePath());
    main_ = std::make_unique<VerkoMain>(*store_, services_, QStringLiteral(VERKO_UI_APP_DIR));
    main_->show();
    EXPECT_TRUE(WaitUntilManaged(main_.get(), kManageTimeout));
    EXPECT_TRUE(main_->isVisible());
    return *main_;
  }
  // Closes it with 閉じる, as a user does; the settings are written.
  void CloseWithButton() {
    QPushButton* close = Button("CmdClose");
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(main_->isVisible());
    main_.reset();
    store_.reset();
  }
  QString Stored(const char* name) const {
    QSettings raw(StorePath(), QSettings::IniFormat);
    return raw.value(QStringLiteral("Settings/") + QLatin1String(name)).toString();
  }
  void Store(const char* name, const QString& value) {
    QSettings raw(StorePath(), QSettings::IniFormat);
    raw.setValue(QStringLiteral("Settings/") + QLatin1String(name), value);
  }
  QCheckBox* Check(const char* name) {
    auto* box = main_->findChild<QCheckBox*>(QLatin1String(name));
    EXPECT_NE(box, nullptr) << name;
    return box;
  }
  QPushButton* Button(const char* name) {
    auto* button = main_->findChild<QPushButton*>(QLatin1String(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
  }
  // The frame the manager drew (in device pixels) lies within the screen's available area.
  static bool WhollyOnScreen(const QWidget* window) {
    const QPoint corner = FrameTopLeft(window) / window->devicePixelRatio();
    const QRect frame(corner, window->frameGeometry().size());
    return window->screen()->availableGeometry().contains(frame);
  }
  QPoint Twips(int left, int top) const {
    const double dpi = main_->logicalDpiY();
    return QPoint(TwipsToPixels(left, dpi), TwipsToPixels(top, dpi));
  }

  // Runs `inspect` on the modal window that the next action opens once the window manager
  // has framed it, then closes it (after a while it is closed without `inspect`).
  static void WhenModalOpens(std::function<void(QWidget*)> inspect) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, inspect] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      const bool managed = IsManaged(modal);
      if (!managed && clock->elapsed() < kManageTimeout) return;
      timer->stop();
      timer->deleteLater();
      delete clock;
      EXPECT_TRUE(managed) << Describe(modal).toStdString();
      if (managed) {
        QTest::qWait(100);
        inspect(modal);
      }
      modal->close();
    });
    timer->start();
  }

  test_support::TempDir dir_;
  QtUiServices services_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<VerkoMain> main_;
};

TEST_F(DesktopTest, WindowReturnsWhereItWasLeft) {
  // A fresh store, a position the window was dragged to, and one that is not a whole pixel.
  struct {
    const char* left;  // nullptr: no stored position
    const char* top;
  } const kCases[] = {{nullptr, nullptr}, {" 3000", " 1500"}, {" 1234", " 987"}, {" 0", " 0"}};
  for (const auto& c : kCases) {
    std::filesystem::remove(dir_.File("Verko.ini"));
    if (c.left) {
      Store("PanelLeft", QLatin1String(c.left));
      Store("PanelTop", QLatin1String(c.top));
    }
    const QString left = c.left ? QLatin1String(c.left) : QStringLiteral(" 500");
    const QString top = c.top ? QLatin1String(c.top) : QStringLiteral(" 300");
    for (int start = 1; start <= 3; ++start) {
      Start();
      EXPECT_EQ(FrameTopLeft(main_.get()),
                Twips(ReadSettingNumber(left, 0), ReadSettingNumber(top, 0)))
          << "start " << start << " at " << left.toStdString() << "," << top.toStdString();
      CloseWithButton();
      EXPECT_EQ(Stored("PanelLeft"), left) << "start " << start;
      EXPECT_EQ(Stored("PanelTop"), top) << "start " << start;
    }
  }
}

TEST_F(DesktopTest, WindowComesUpWhollyOnTheScreen) {
  // Far off the screen, above it, left of it, or in place, each with a history name far too
  // long for the field, picked from the list.
  const QString longName = QStringLiteral("/home/user/") + QString(185, u'長') + ".txt";
  const char* const kCases[][2] = {
      {" 30000", " 20000"}, {" 3000", " -600"}, {" -30000", " 1500"}, {" 0", " 0"}};
  for (const auto& [left, top] : kCases) {
    std::filesystem::remove(dir_.File("Verko.ini"));
    Store("PanelLeft", QLatin1String(left));
    Store("PanelTop", QLatin1String(top));
    Store("ComboOld0", longName);
    Start();
    auto* old = main_->findChild<QComboBox*>(QStringLiteral("ComboOld"));
    old->setCurrentIndex(0);
    QTest::qWait(50);
    EXPECT_TRUE(WhollyOnScreen(main_.get())) << left << "," << top;
    EXPECT_EQ(old->toolTip(), longName);
    CloseWithButton();
  }
  // The batch window and the report viewer fit as well.
  const std::string db = dir_.File("VerkoBatchList.mdb");
  test_support::MakeBatchListDb(db);
  std::ofstream(dir_.File("report.txt")) << "x\n";
  Start();
  main_->SetBatchListDbPath(QString::fromStdString(db));
  QTest::mouseClick(Button("CmdBatch"), Qt::LeftButton);
  QWidget* viewer = ReportViewer::Open(QString::fromStdString(dir_.File("report.txt")), services_,
                                       nullptr, main_.get());
  for (QWidget* window : {static_cast<QWidget*>(main_->BatchWindow()), viewer}) {
    ASSERT_TRUE(window && WaitUntilManaged(window, kManageTimeout));
    EXPECT_TRUE(WhollyOnScreen(window)) << window->objectName().toStdString();
  }
  CloseWithButton();
}

TEST_F(DesktopTest, FixedSizeWindowOffersNoMaximize) {
  Start();
  EXPECT_TRUE(ManagerOffers(main_.get(), "_NET_WM_ACTION_CLOSE"));
  EXPECT_TRUE(ManagerOffers(main_.get(), "_NET_WM_ACTION_MINIMIZE"));
  EXPECT_FALSE(ManagerOffers(main_.get(), "_NET_WM_ACTION_MAXIMIZE_HORZ"));
  EXPECT_FALSE(ManagerOffers(main_.get(), "_NET_WM_ACTION_MAXIMIZE_VERT"));
  CloseWithButton();
}

TEST_F(DesktopTest, SettingsDialogsOpenBesideTheWindowsFrame) {
  Store("PanelLeft", QStringLiteral(" 3000"));
  Store("PanelTop", QStringLiteral(" 1500"));
  Start();
  QTest::mouseClick(Check("OptDispWithEditor"), Qt::LeftButton);
  for (const char* button : {"CmdSplitChars", "CmdworkPath", "CmdSetEditor"}) {
    QPoint dialogFrame;
    WhenModalOpens([&](QWidget* dialog) { dialogFrame = FrameTopLeft(dialog); });
    QTest::mouseClick(Button(button), Qt::LeftButton);
    EXPECT_EQ(dialogFrame, FrameTopLeft(main_.get()) + Twips(400, 200)) << button;
  }
  CloseWithButton();
}

// Counts the times a window is hidden (a re-created window is hidden and shown again).
class HideCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide) ++hides;
    return false;
  }
  int hides = 0;
};

TEST_F(DesktopTest, KeptOnTopInPlaceWithItsHelpAndMessagesAboveIt) {
  Start();
  main_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
  HideCounter counter;
  main_->installEventFilter(&counter);
  const WId id = main_->windowHandle()->winId();

  QTest::mouseClick(Check("OptAlwaysTop"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ManagerKeepsAbove(main_.get()); }, kManageTimeout));
  EXPECT_EQ(counter.hides, 0);
  EXPECT_EQ(main_->windowHandle()->winId(), id);

  // F1 opens the help, above the window.
  QTest::keyClick(main_.get(), Qt::Key_F1);
  auto* help = main_->findChild<HelpWindow*>(QStringLiteral("VerkoHelp"));
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(WaitUntilManaged(help, kManageTimeout));
  QTest::mouseClick(main_.get(), Qt::LeftButton, {}, QPoint(5, 5));  // the user clicks the window
  QTest::qWait(200);
  EXPECT_TRUE(IsStackedAbove(help, main_.get())) << Describe(help).toStdString();
  help->close();

  // A message box (start with no file names) opens above it too.
  bool boxAbove = false;
  QString boxText;
  WhenModalOpens([&](QWidget* box) {
    boxAbove = IsStackedAbove(box, main_.get());
    boxText = static_cast<QMessageBox*>(box)->text();
  });
  QTest::mouseClick(Button("CmdStart"), Qt::LeftButton);
  EXPECT_EQ(boxText, "旧ファイルが指定されていません。");
  EXPECT_TRUE(boxAbove);

  QTest::mouseClick(Check("OptAlwaysTop"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !ManagerKeepsAbove(main_.get()); }, kManageTimeout));
  EXPECT_EQ(counter.hides, 0);
  EXPECT_EQ(main_->windowHandle()->winId(), id);
  main_->removeEventFilter(&counter);
  CloseWithButton();
}

TEST_F(DesktopTest, ResultFileDialogSpeaksJapanese) {
  Start();
  QStringList filters;
  QStringList texts;
  WhenModalOpens([&](QWidget* dialog) {
    if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
      for (int i = 0; i < types->count(); ++i) filters.append(types->itemText(i));
    }
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
      if (auto* label = dialog->findChild<QLabel*>(QLatin1String(name)))
        texts.append(label->text());
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
      if (button->isVisible()) texts.append(button->text());
    }
  });
  QTest::mouseClick(Button("CmdRefResult"), Qt::LeftButton);
  EXPECT_EQ(filters, (QStringList{"ﾃｷｽﾄﾌｧｲﾙ(*.txt)", "すべて(*.*)"}));
  ASSERT_GE(texts.size(), 5);
  for (const QString& text : texts) {
    // Every label and button speaks Japanese (at least one kana or kanji).
    EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) {
      return c.unicode() >= 0x3040;
    })) << text.toStdString();
  }
  CloseWithButton();
}

}  // namespace
}  // namespace verko::testing

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // As the program does at start.
  verko::InstallQtTranslation();
  if (!verko::testing::WaitForWindowManager(10000)) {
    fprintf(stderr, "no window manager on %s\n", qPrintable(qEnvironmentVariable("DISPLAY")));
    return 1;
  }
  // The manager announces itself a moment before it takes its first window.
  QTest::qWait(1000);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
