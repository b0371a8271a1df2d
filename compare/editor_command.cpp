#include "compare/editor_command.h"

namespace verko {
namespace {

std::vector<std::string> SplitCommandWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

}  // namespace

EditorCommand BuildEditorCommand(const std::string& editorSetting, const std::string& resultPath) {
  auto placeholder = editorSetting.find("%1");
  std::vector<std::string> words = SplitCommandWords(editorSetting.substr(0, placeholder));
  EditorCommand command;
  if (words.empty()) return command;
  command.program = words.front();
  command.args.assign(words.begin() + 1, words.end());
  command.args.push_back(resultPath);
  return command;
}

}  // namespace verko
