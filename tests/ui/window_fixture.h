// A main window over a settings store in a temporary folder, with scripted services, and
// helpers that reach its controls by name and act during a running comparison.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "tests/support/temp_dir.h"
#include "tests/ui/scripted_ui_services.h"
#include "ui/shared/settings_store.h"
#include "ui/verko_main.h"
#include "ui/viewer/report_viewer.h"

// Failures show texts, not UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace verko::testing {

using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : store_(std::make_unique<SettingsStore>(StorePath())) {}
  // Viewers opened from the window outlive it, as top-level windows: a later test must not
  // find them.
  ~WindowTest() override {
    if (main_) qDeleteAll(main_->Viewers());
  }

  QString StorePath() const { return QString::fromStdString(dir_.File("Verko.ini")); }
  QString Path(const char* name) const { return QString::fromStdString(dir_.File(name)); }

  // Opens the window (the settings load); `prepare` may fill the store first.
  VerkoMain& Open() {
    main_ = std::make_unique<VerkoMain>(*store_, services_, QStringLiteral(VERKO_UI_APP_DIR));
    return *main_;
  }
  // Opens the window with its work folder in the test's own folder, for comparisons.
  VerkoMain& OpenForRuns() {
    store_->Write(QStringLiteral("WorkPath"), QString::fromStdString(dir_.Path()));
    return Open();
  }
  // Closes the window as the program does (the settings are written) and reopens the store.
  void CloseAndReload() {
    main_->close();
    qDeleteAll(main_->Viewers());
    main_.reset();
    store_ = std::make_unique<SettingsStore>(StorePath());
  }

  template <typename Widget>
  Widget* Find(const char* name) {
    Widget* widget = main_->findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QComboBox* Combo(const char* name) { return Find<QComboBox>(name); }
  QCheckBox* Check(const char* name) { return Find<QCheckBox>(name); }
  QPushButton* Button(const char* name) { return Find<QPushButton>(name); }
  QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
  QStringList Items(const char* combo) {
    QStringList items;
    for (int i = 0; i < Combo(combo)->count(); ++i) items.append(Combo(combo)->itemText(i));
    return items;
  }

  // Runs `action` once, at the first yield of a comparison that has its files open.
  void DuringRun(std::function<void()> action) {
    auto* timer = new QTimer(main_.get());
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, action] {
      if (!main_->CompareRunning()) return;
      timer->stop();
      timer->deleteLater();
      action();
    });
    timer->start();
  }

  // Old and new files of `lines` lines each that differ in every tenth line.
  void WriteInputs(int lines) {
    std::string oldText, newText;
    for (int i = 0; i < lines; ++i) {
      oldText += "line " + std::to_string(i) + "\r\n";
      newText += (i % 10 == 0 ? "changed " : "line ") + std::to_string(i) + "\r\n";
    }
    WriteFile(dir_.File("old.txt"), oldText);
    WriteFile(dir_.File("new.txt"), newText);
  }

  void SetNames(const QString& oldName, const QString& newName, const QString& resultName) {
    main_->SetFileNames({oldName, newName, resultName});
  }

  static void WaitFor(std::function<bool()> done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) QApplication::processEvents();
  }

  TempDir dir_;
  ScriptedUiServices services_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<VerkoMain> main_;
};

}  // namespace verko::testing
