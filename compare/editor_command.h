// The command that opens a result file in the user's editor, built from the editor setting
// with its placeholder "%1".
#pragma once

#include <string>
#include <vector>

namespace verko {

struct EditorCommand {
  std::string program;
  std::vector<std::string> args;
};

// The text before the first "%1" is split into program and arguments (blanks separate
// them; double quotes group a part that holds blanks); the result path is added as one
// argument, whatever it contains. A setting without "%1" gets the path appended. An
// empty program means there is nothing to start.
EditorCommand BuildEditorCommand(const std::string& editorSetting, const std::string& resultPath);

}  // namespace verko
