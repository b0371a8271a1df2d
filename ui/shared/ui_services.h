// Everything the windows show to or ask of the user outside their own widgets, and every
// process they start: message boxes, input boxes, file and folder dialogs, detached
// launches. Windows call only this interface, so tests script the answers and record what
// would have been shown or started.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "common/message_icon.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace verko {

enum class MessageButtons { kOk, kYesNo, kOkCancel };
enum class MessageAnswer { kOk, kYes, kNo, kCancel };

enum class FileDialogMode {
  kOpenExisting,  // the file must exist
  kOpenAny,       // the folder must exist; a new name may be typed
  kSave,
};

struct FileDialogRequest {
  FileDialogMode mode = FileDialogMode::kOpenExisting;
  QString title;
  QString filter;         // Qt form: "ﾃｷｽﾄﾌｧｲﾙ(*.txt) (*.txt);;すべて(*.*) (*)"
  QString initialFolder;  // empty: the dialog's default folder
  QString proposedName;
  QString defaultSuffix;  // without the dot; empty for none
};

class UiServices {
 public:
  virtual ~UiServices() = default;

  // Shows a modal message box and returns the button pressed (kOk or kCancel for OK/Cancel,
  // kYes or kNo for Yes/No; closing the box counts as Cancel or No).
  virtual MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // Shows a modal input box; returns false when cancelled (then *text is unchanged).
  virtual bool AskText(QWidget* parent, const QString& prompt, const QString& title,
                       QString* text) = 0;
  // Shows a file dialog; returns the chosen full path, or an empty text when cancelled.
  virtual QString ChooseFile(QWidget* parent, const FileDialogRequest& request) = 0;
  // Shows an open dialog in which several existing files may be chosen (request.mode is not
  // used); returns their full paths in the dialog's order, or an empty list when cancelled.
  virtual QStringList ChooseFiles(QWidget* parent, const FileDialogRequest& request) = 0;
  // Shows a folder chooser; returns the folder with a trailing "/", or empty when cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& title,
                               const QString& initialFolder) = 0;
  // Starts a program without waiting for it; false when it could not be started.
  virtual bool StartDetached(const QString& program, const QStringList& args) = 0;
  // Opens a file with the desktop's default application for its type, without waiting;
  // false when none could be started.
  virtual bool OpenWithDefaultApplication(const QString& path) = 0;

  // A question with the question icon and Yes/No buttons: true for Yes.
  bool Ask(QWidget* parent, const QString& text, const QString& title) {
    return ShowMessage(parent, text, title, MessageIcon::kQuestion, MessageButtons::kYesNo) ==
           MessageAnswer::kYes;
  }
};

// The message box that ShowMessage shows: Japanese buttons, the text broken between phrases,
// kept above its parent's window.
std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, const QString& text,
                                           const QString& title, MessageIcon icon,
                                           MessageButtons buttons);
// The file dialog that ChooseFile shows for `request`.
std::unique_ptr<QFileDialog> NewFileDialog(QWidget* parent, const FileDialogRequest& request);

// The real dialogs and launches: QMessageBox, QInputDialog, QFileDialog, QProcess,
// QDesktopServices.
class QtUiServices : public UiServices {
 public:
  MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title,
                            MessageIcon icon, MessageButtons buttons) override;
  bool AskText(QWidget* parent, const QString& prompt, const QString& title,
               QString* text) override;
  QString ChooseFile(QWidget* parent, const FileDialogRequest& request) override;
  QStringList ChooseFiles(QWidget* parent, const FileDialogRequest& request) override;
  QString ChooseFolder(QWidget* parent, const QString& title,
                       const QString& initialFolder) override;
  bool StartDetached(const QString& program, const QStringList& args) override;
  bool OpenWithDefaultApplication(const QString& path) override;
};

}  // namespace verko
