// Helpers of the batch tests: a fresh batch-list database made from the delivered schema, a
// batch host that answers as scripted and records what a window would show, and a compare
// runner that records the pairs it is given.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "batch/batch_host.h"
#include "batch/compare_runner.h"
#include "platform/record_store.h"
#include "tests/support/temp_dir.h"

namespace verko::test_support {

inline std::string BatchSchemaPath() {
  return std::string(VERKO_TEST_DATA_DIR) + "/../../batch/VerkoBatchList.sql";
}

// Makes the delivered database at `path` from the schema, as the build does.
inline void MakeBatchListDb(const std::string& path) {
  Status status = Status::Ok();
  auto db = Database::Open(path, Database::OpenMode::kCreate, &status);
  if (db) status = db->Exec(ReadFile(BatchSchemaPath()));
  if (!status.ok()) throw std::runtime_error(status.reason());
}

class ScriptedBatchHost : public BatchHost {
 public:
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back(title + ": " + text);
    icons.push_back(icon);
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    questions.push_back(title + ": " + text);
    return Next(yesNo, true);
  }
  bool AskOkCancel(const std::string& text, const std::string& title, MessageIcon) override {
    questions.push_back(title + ": " + text);
    return Next(okCancel, true);
  }
  std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                     const std::string& defaultText) override {
    inputs.push_back(title + ": " + prompt + " [" + defaultText + "]");
    return Next(texts, std::optional<std::string>());
  }
  std::vector<std::string> ChooseFiles(const std::string& title, const std::string&) override {
    dialogs.push_back(title);
    return Next(files, std::vector<std::string>());
  }
  std::optional<std::string> ChooseFile(const std::string& title, const std::string&) override {
    dialogs.push_back(title);
    return Next(file, std::optional<std::string>());
  }
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string&,
                                          const std::string& placeholder) override {
    dialogs.push_back(title + " " + placeholder);
    return Next(folder, std::optional<std::string>());
  }
  void ShowCounts(const std::string& text, const CountButtons& b) override {
    countLine = text;
    buttons = b;
  }
  void ShowSettings(const BatchListSettings&, bool defaultList) override {
    renameDeleteDisabled = defaultList;
  }
  void ShowCompactOnClose(bool checked) override { compactChecked = checked; }
  void SetRunDisplay(bool running) override { runDisplays.push_back(running); }
  void YieldAfterPair() override {
    ++yields;
    if (onYield) onYield();
  }

  std::deque<bool> yesNo, okCancel;
  std::deque<std::optional<std::string>> texts, file, folder;
  std::deque<std::vector<std::string>> files;
  std::function<void()> onYield;

  std::vector<std::string> messages, questions, inputs, dialogs;
  std::vector<MessageIcon> icons;
  std::vector<bool> runDisplays;
  std::string countLine;
  CountButtons buttons;
  bool renameDeleteDisabled = false;
  bool compactChecked = false;
  int yields = 0;

 private:
  template <typename T>
  static T Next(std::deque<T>& answers, T fallback) {
    if (answers.empty()) return fallback;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class FakeCompareRunner : public CompareRunner {
 public:
  CompareResult RunBatchCompare(const std::string& oldName, const std::string& newName,
                                const std::string& resultName) override {
    calls.push_back(oldName + "|" + newName + "|" + resultName);
    CompareResult result;
    if (!statuses.empty()) {
      result.status = statuses.front();
      statuses.pop_front();
    }
    if (result.status == kStatusFailed) result.message.text = "失敗の理由";
    return result;
  }
  bool InteractiveRunActive() const override { return interactive; }

  std::deque<int> statuses;  // one per call; done when empty
  bool interactive = false;
  std::vector<std::string> calls;
};

}  // namespace verko::test_support
