// The desktop program on a real X server with a window manager: the main window comes back
// where it was left, the settings dialogs open beside its frame, and help and message boxes
// stay above it when it is kept on top.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "tests/desktop/x_desktop.h"
#include "tests/support/temp_dir.h"
#include "ui/field_values.h"
#include "ui/help_window.h"
#include "ui/settings_store.h"
#include "ui/ui_services.h"
#include "ui/verko_main.h"

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
    if (qEnvironmentVariableIsSet("VERKO_DEBUG_POS"))
      fprintf(stderr, "created %d handle %p\n", main_->testAttribute(Qt::WA_WState_Created),
              (void*)main_->windowHandle());
    main_->show();
    EXPECT_TRUE(WaitUntilManaged(main_.get(), kManageTimeout));
    if (qEnvironmentVariableIsSet("VERKO_DEBUG_POS")) {
      fprintf(stderr, "pos %d,%d geom %d,%d frame %d,%d x-frame %d,%d\n", main_->pos().x(),
              main_->pos().y(), main_->geometry().x(), main_->geometry().y(),
              main_->frameGeometry().x(), main_->frameGeometry().y(), FrameTopLeft(main_.get()).x(),
              FrameTopLeft(main_.get()).y());
    }
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
  QPushButton* Button(const char* name) {
    auto* button = main_->findChild<QPushButton*>(QLatin1String(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
  }
  QPoint Twips(int left, int top) const {
    const double dpi = main_->logicalDpiY();
    return QPoint(TwipsToPixels(left, dpi), TwipsToPixels(top, dpi));
  }

  // Runs `inspect` on the modal window that the next action opens, then closes it.
  static void WhenModalOpens(std::function<void(QWidget*)> inspect) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible() || !WaitUntilManaged(modal, kManageTimeout)) return;
      timer->stop();
      timer->deleteLater();
      inspect(modal);
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
      EXPECT_EQ(FrameTopLeft(main_.get()), Twips(ReadSettingNumber(left, 0), ReadSettingNumber(top, 0)))
          << "start " << start << " at " << left.toStdString() << "," << top.toStdString();
      CloseWithButton();
      EXPECT_EQ(Stored("PanelLeft"), left) << "start " << start;
      EXPECT_EQ(Stored("PanelTop"), top) << "start " << start;
    }
  }
}

}  // namespace
}  // namespace verko::testing

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (!verko::testing::WaitForWindowManager(10000)) {
    fprintf(stderr, "no window manager on %s\n", qPrintable(qEnvironmentVariable("DISPLAY")));
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
