#include "ui/shared/help_window.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "common/program_files.h"
#include "ui/shared/window_helpers.h"

namespace verko {

QString HelpDocumentPath(const QString& appDir) {
  return QString::fromStdString(DeliveredFile(appDir.toStdString(), std::string("VerkoHelp.html")));
}

QString HelpAnchor(int contextId) {
  switch (contextId) {
    case kHelpMainWindow:
      return QStringLiteral("main-window");
    case kHelpOptions:
      return QStringLiteral("options");
    case kHelpReport:
      return QStringLiteral("report");
    case kHelpSplitChars:
      return QStringLiteral("split-chars");
    case kHelpWorkDrive:
      return QStringLiteral("work-drive");
    case kHelpEditor:
      return QStringLiteral("editor");
    case kHelpBatchWindow:
      return QStringLiteral("batch-window");
    default:
      return QString();
  }
}

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFile_(helpFile) {
  setObjectName(QStringLiteral("VerkoHelp"));
  setWindowTitle(QStringLiteral("Verko ヘルプ"));
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpText"));
  browser_->setOpenExternalLinks(true);
  auto* close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
  close->setObjectName(QStringLiteral("CmdHelpClose"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_);
  layout->addWidget(close, 0, Qt::AlignRight);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  resize(720, 640);
}

bool HelpWindow::ShowTopic(int contextId) {
  if (!QFileInfo::exists(helpFile_)) return false;
  anchor_ = HelpAnchor(contextId);
  QUrl url = QUrl::fromLocalFile(helpFile_);
  if (!anchor_.isEmpty()) url.setFragment(anchor_);
  browser_->setSource(url);
  if (!anchor_.isEmpty()) browser_->scrollToAnchor(anchor_);
  // Opened from a window kept on top, the help must not disappear behind it.
  KeepAboveOpener(this, parentWidget());
  if (!isVisible()) BringOnScreen(this);
  show();
  raise();
  activateWindow();
  return true;
}

}  // namespace verko
