#include "ui/shared/ui_services.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

namespace verko {
namespace {

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

}  // namespace

MessageAnswer QtUiServices::ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                        MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::NoButton, parent);
  if (buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else if (buttons == MessageButtons::kOkCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  int pressed = box.exec();
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
  bool ok = false;
  QString answer = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, *text, &ok);
  if (ok) *text = answer;
  return ok;
}

QString QtUiServices::ChooseFile(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title, request.initialFolder, request.filter);
  dialog.setOption(QFileDialog::ReadOnly, false);
  switch (request.mode) {
    case FileDialogMode::kOpenExisting:
      dialog.setFileMode(QFileDialog::ExistingFile);
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      break;
    case FileDialogMode::kOpenAny:
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      break;
    case FileDialogMode::kSave:
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      break;
  }
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.proposedName.isEmpty()) dialog.selectFile(request.proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

QStringList QtUiServices::ChooseFiles(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title, request.initialFolder, request.filter);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted) return QStringList();
  return dialog.selectedFiles();
}

QString QtUiServices::ChooseFolder(QWidget* parent, const QString& title,
                                   const QString& initialFolder) {
  QString folder = QFileDialog::getExistingDirectory(parent, title, initialFolder);
  if (folder.isEmpty()) return folder;
  return folder.endsWith('/') ? folder : folder + '/';
}

bool QtUiServices::StartDetached(const QString& program, const QStringList& args) {
  return QProcess::startDetached(program, args);
}

}  // namespace verko
