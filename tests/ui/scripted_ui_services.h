// UiServices for window tests: answers message boxes and file dialogs as scripted and
// records what would have been shown or started.
#pragma once

#include <deque>
#include <vector>

#include "ui/ui_services.h"

namespace verko::testing {

struct ShownMessage {
  QString text, title;
  MessageIcon icon;
  MessageButtons buttons;
};

class ScriptedUiServices : public UiServices {
 public:
  MessageAnswer ShowMessage(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({text, title, icon, buttons});
    if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
    if (answers.empty()) return MessageAnswer::kNo;
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool AskText(QWidget*, const QString&, const QString&, QString*) override { return false; }
  QString ChooseFile(QWidget*, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    return chosenFile;  // empty: cancelled
  }
  QString ChooseFolder(QWidget*, const QString&, const QString&) override { return QString(); }
  bool StartDetached(const QString& program, const QStringList& args) override {
    launches.push_back(QStringList{program} + args);
    return true;
  }

  // Titles of the messages shown, in order.
  QStringList Titles() const {
    QStringList titles;
    for (const ShownMessage& message : messages) titles.append(message.title);
    return titles;
  }

  std::deque<MessageAnswer> answers;  // for Yes/No questions; No when none is left
  QString chosenFile;
  std::vector<ShownMessage> messages;
  std::vector<FileDialogRequest> fileRequests;
  std::vector<QStringList> launches;
};

}  // namespace verko::testing
