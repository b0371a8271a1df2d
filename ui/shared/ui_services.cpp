#include "ui/shared/ui_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLayout>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "ui/shared/natural_breaks.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

// The widest line of a message box's text, in pixels.
constexpr int kMessageLineWidth = 420;

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kCritical:
      return QMessageBox::Critical;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

// The widest line of a message box's text. The box wraps its text again, anywhere, once it
// is wider than half the screen (at most 500 px): on a small or scaled screen (1024 px at
// 1.25 x is 819 px) the lines are narrower by as much, less the icon and the margins.
int MessageLineWidth(QMessageBox* box) {
  const QScreen* screen = box->screen();
  if (screen == nullptr) return kMessageLineWidth;
  const int boxLimit = std::min(screen->availableGeometry().width() / 2, 500);
  const QMargins margins = box->layout() ? box->layout()->contentsMargins() : QMargins();
  const int iconSize = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
  const int spacing = box->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, box);
  const int besideText = margins.left() + margins.right() + iconSize + 3 * std::max(spacing, 6);
  return std::clamp(boxLimit - besideText, 200, kMessageLineWidth);
}

// The window frame shows a message box's title beside its icon and its buttons; the box is
// made at least as wide as all of them, so that the title is not cut. The frame is drawn by
// the window system in a font that may be bold, so the title is measured in bold.
void FitTitle(QMessageBox* box) {
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const int frameParts = 4 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, box);
  const int width = QFontMetrics(font).horizontalAdvance(box->windowTitle()) + frameParts;
  // The button row spans the box: its least width is the box's least width, which the box
  // keeps when it sizes itself on showing.
  if (auto* buttons = box->findChild<QDialogButtonBox*>()) {
    const QMargins margins = box->layout() ? box->layout()->contentsMargins() : QMargins();
    buttons->setMinimumWidth(width - margins.left() - margins.right());
  }
}

// Qt's file dialog gives its columns and its side bar widths made for short English texts,
// which cut Japanese sizes, kinds and dates ("8…ト") and place names: each column is fitted
// to its texts whenever a folder has been loaded (the user may still widen it), and the side
// bar to its places.
void FitFileDialogColumns(QFileDialog* dialog) {
  auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
  auto* model = dialog->findChild<QFileSystemModel*>();
  if (view != nullptr && model != nullptr) {
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, [view] {
      for (int column = 1; column < view->model()->columnCount(); ++column) {
        view->resizeColumnToContents(column);
      }
    });
  }
  if (auto* sidebar = dialog->findChild<QListView*>(QStringLiteral("sidebar"))) {
    sidebar->setMinimumWidth(sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() +
                             sidebar->verticalScrollBar()->sizeHint().width());
  }
}

}  // namespace

std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, const QString& text,
                                           const QString& title, MessageIcon icon,
                                           MessageButtons buttons) {
  auto box = std::make_unique<QMessageBox>(ToQtIcon(icon), title, QString(), QMessageBox::NoButton,
                                           parent);
  // The box's own wrapping would break Japanese words anywhere: its lines are broken between
  // phrases instead, narrow enough that the box does not wrap them again.
  box->setText(BreakAtNaturalPoints(text, box->fontMetrics(), MessageLineWidth(box.get())));
  if (buttons == MessageButtons::kYesNo) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box->button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
  } else if (buttons == MessageButtons::kOkCancel) {
    box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box->button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Cancel);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
  }
  FitTitle(box.get());
  KeepAboveOpener(box.get(), parent);
  return box;
}

std::unique_ptr<QFileDialog> NewFileDialog(QWidget* parent, const FileDialogRequest& request) {
  auto dialog =
      std::make_unique<QFileDialog>(parent, request.title, request.initialFolder, request.filter);
  dialog->setOption(QFileDialog::ReadOnly, false);
  // A filter is shown by its name alone ("ﾃｷｽﾄﾌｧｲﾙ(*.txt)"), which already names its pattern.
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  switch (request.mode) {
    case FileDialogMode::kOpenExisting:
      dialog->setFileMode(QFileDialog::ExistingFile);
      dialog->setAcceptMode(QFileDialog::AcceptOpen);
      break;
    case FileDialogMode::kOpenAny:
      dialog->setFileMode(QFileDialog::AnyFile);
      dialog->setAcceptMode(QFileDialog::AcceptOpen);
      break;
    case FileDialogMode::kSave:
      dialog->setFileMode(QFileDialog::AnyFile);
      dialog->setAcceptMode(QFileDialog::AcceptSave);
      break;
  }
  FitFileDialogColumns(dialog.get());
  if (!request.defaultSuffix.isEmpty()) dialog->setDefaultSuffix(request.defaultSuffix);
  if (!request.proposedName.isEmpty()) dialog->selectFile(request.proposedName);
  KeepAboveOpener(dialog.get(), parent);
  return dialog;
}

MessageAnswer QtUiServices::ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                        MessageIcon icon, MessageButtons buttons) {
  std::unique_ptr<QMessageBox> box = NewMessageBox(parent, text, title, icon, buttons);
  int pressed = box->exec();
  switch (buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kOkCancel:
      return pressed == QMessageBox::Ok ? MessageAnswer::kOk : MessageAnswer::kCancel;
    case MessageButtons::kYesNo:
      break;
  }
  return pressed == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

bool QtUiServices::AskText(QWidget* parent, const QString& prompt, const QString& title,
                           QString* text) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(title);
  dialog.setLabelText(prompt);
  dialog.setTextValue(*text);
  KeepAboveOpener(&dialog, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  *text = dialog.textValue();
  return true;
}

QString QtUiServices::ChooseFile(QWidget* parent, const FileDialogRequest& request) {
  std::unique_ptr<QFileDialog> dialog = NewFileDialog(parent, request);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return QString();
  return dialog->selectedFiles().constFirst();
}

QStringList QtUiServices::ChooseFiles(QWidget* parent, const FileDialogRequest& request) {
  FileDialogRequest several = request;
  several.mode = FileDialogMode::kOpenExisting;
  std::unique_ptr<QFileDialog> dialog = NewFileDialog(parent, several);
  dialog->setFileMode(QFileDialog::ExistingFiles);
  if (dialog->exec() != QDialog::Accepted) return QStringList();
  return dialog->selectedFiles();
}

QString QtUiServices::ChooseFolder(QWidget* parent, const QString& title,
                                   const QString& initialFolder) {
  QFileDialog dialog(parent, title, initialFolder);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  KeepAboveOpener(&dialog, parent);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  const QString folder = dialog.selectedFiles().constFirst();
  return folder.endsWith('/') ? folder : folder + '/';
}

bool QtUiServices::StartDetached(const QString& program, const QStringList& args) {
  return QProcess::startDetached(program, args);
}

bool QtUiServices::OpenWithDefaultApplication(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace verko
