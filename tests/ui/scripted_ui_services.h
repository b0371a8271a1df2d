// UiServices for window tests: answers message boxes, input boxes and file and folder dialogs
// as scripted and records what would have been shown, asked or started.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "ui/shared/ui_services.h"

namespace verko::testing {

struct ShownMessage {
  QString text, title;
  MessageIcon icon;
  MessageButtons buttons;
};

struct AskedText {
  QString prompt, title, defaultText;
};

class ScriptedUiServices : public UiServices {
 public:
  MessageAnswer ShowMessage(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({text, title, icon, buttons});
    if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
    const MessageAnswer refusal =
        buttons == MessageButtons::kOkCancel ? MessageAnswer::kCancel : MessageAnswer::kNo;
    if (answers.empty()) return refusal;
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool AskText(QWidget*, const QString& prompt, const QString& title, QString* text) override {
    askedTexts.push_back({prompt, title, *text});
    if (texts.empty() || !texts.front()) {
      if (!texts.empty()) texts.pop_front();
      return false;
    }
    *text = *texts.front();
    texts.pop_front();
    return true;
  }
  QString ChooseFile(QWidget*, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (!chosenFiles.empty()) {
      QString path = chosenFiles.front();
      chosenFiles.pop_front();
      return path;
    }
    return chosenFile;  // empty: cancelled
  }
  QStringList ChooseFiles(QWidget*, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (chosenFileLists.empty()) return QStringList();
    QStringList paths = chosenFileLists.front();
    chosenFileLists.pop_front();
    return paths;
  }
  QString ChooseFolder(QWidget*, const QString& title, const QString&) override {
    folderTitles.append(title);
    if (chosenFolders.empty()) return QString();
    QString folder = chosenFolders.front();
    chosenFolders.pop_front();
    return folder;
  }
  bool StartDetached(const QString& program, const QStringList& args) override {
    launches.push_back(QStringList{program} + args);
    return true;
  }
  bool OpenWithDefaultApplication(const QString& path) override {
    openedFiles.append(path);
    return true;
  }

  // Titles of the messages shown, in order.
  QStringList Titles() const {
    QStringList titles;
    for (const ShownMessage& message : messages) titles.append(message.title);
    return titles;
  }

  // For Yes/No and OK/Cancel questions; No or Cancel when none is left.
  std::deque<MessageAnswer> answers;
  // Input-box answers in order; nullopt (or none left) cancels.
  std::deque<std::optional<QString>> texts;
  QString chosenFile;                       // every single-file dialog, after chosenFiles
  std::deque<QString> chosenFiles;          // single-file dialogs in order
  std::deque<QStringList> chosenFileLists;  // multi-file dialogs in order; none: cancelled
  std::deque<QString> chosenFolders;        // folder choosers in order; none: cancelled
  std::vector<ShownMessage> messages;
  std::vector<AskedText> askedTexts;
  std::vector<FileDialogRequest> fileRequests;
  QStringList folderTitles;
  std::vector<QStringList> launches;
  QStringList openedFiles;  // opened with the desktop's default application
};

}  // namespace verko::testing
