// Writes a shell completion of verko-cli from its template (completions/*.in), putting in
// the program's options as its option table lists them:
//   @CLI_OPTIONS@      the option words, for bash ("--trim-top ... -h --help")
//   @CLI_VALUE_CASES@  bash's case items completing each option's value
//   @CLI_ARGUMENTS@    zsh's _arguments specifications, one line each
// Usage: make_completions TEMPLATE OUTPUT
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_option_table.h"

namespace verko {
namespace {

std::string Names(const CliOption& option, const char* separator) {
  std::string names;
  if (option.shortName != 0) names += std::string("-") + option.shortName + separator;
  return names + option.name;
}

std::string BashOptions() {
  std::string words;
  for (const CliOption& option : CliOptionTable()) {
    if (!words.empty()) words += ' ';
    words += Names(option, " ");
  }
  return words;
}

// What bash does for the value of an option of this completion.
std::string BashValueAction(const CliOption& option) {
  switch (option.completion) {
    case ValueCompletion::kNothing:
      return "      # Nothing to offer.\n      return ;;";
    case ValueCompletion::kWords:
      if (option.attachedOnly) {
        return std::string("      # Its value is taken only in the form \"") + option.name + "=" +
               option.argument + "\".\n      if [[ $_verko_separate == 0 ]]; then\n" +
               "        _verko_words '" + option.words + "' \"$_verko_value\"\n" +
               "        return\n      fi ;;";
      }
      return std::string("      _verko_words '") + option.words +
             "' \"$_verko_value\"\n      return ;;";
    case ValueCompletion::kFolder:
      return "      _verko_files -d \"$_verko_value\"\n      return ;;";
    case ValueCompletion::kFile:
      return "      _verko_files \"$_verko_value\"\n      return ;;";
  }
  return {};
}

// Options that complete their values alike share one case item, in the table's order.
std::string BashValueCases() {
  std::vector<std::string> actions;
  std::map<std::string, std::string> patterns;
  for (const CliOption& option : CliOptionTable()) {
    if (option.argument == nullptr) continue;
    const std::string action = BashValueAction(option);
    std::string& pattern = patterns[action];
    if (pattern.empty()) actions.push_back(action);
    pattern += (pattern.empty() ? "" : " | ") + Names(option, " | ");
  }
  std::string cases;
  for (const std::string& action : actions) {
    cases += (cases.empty() ? "" : "\n") + ("    " + patterns[action] + ")\n" + action);
  }
  return cases;
}

// `text` in single quotes for the shell.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ZshValue(const CliOption& option) {
  if (option.argument == nullptr) return {};
  std::string action;
  switch (option.completion) {
    case ValueCompletion::kNothing:
      break;
    case ValueCompletion::kWords:
      action = std::string("(") + option.words + ")";
      break;
    case ValueCompletion::kFolder:
      action = "_files -/";
      break;
    case ValueCompletion::kFile:
      action = "_files";
      break;
  }
  const char* caption = option.valueCaption != nullptr ? option.valueCaption : option.argument;
  return (option.attachedOnly ? "::" : ":") + std::string(caption) + ":" + action;
}

std::string ZshArguments() {
  std::string lines;
  for (const CliOption& option : CliOptionTable()) {
    std::string exclusions;
    if (option.alone) {
      exclusions = "(- *)";
    } else if (option.withoutNames) {
      exclusions = "(1 2 3)";
    } else if (option.shortName != 0) {
      exclusions = "(" + Names(option, " ") + ")";
    }
    if (option.repeatable) exclusions += "*";
    std::string description = OptionSummary(option);
    for (std::size_t at = 0; (at = description.find_first_of("[]", at)) != std::string::npos;) {
      description.insert(at, "\\");
      at += 2;
    }
    const std::string rest = std::string(option.argument == nullptr ? ""
                                         : option.attachedOnly      ? "=-"
                                                                    : "=") +
                             "[" + description + "]" + ZshValue(option);
    std::string zshArgument;
    if (option.shortName != 0) {
      zshArgument = (exclusions.empty() ? "" : Quoted(exclusions)) + "{-" + option.shortName + "," +
                    option.name + "}" + Quoted(rest);
    } else {
      zshArgument = Quoted(exclusions + option.name + rest);
    }
    lines += (lines.empty() ? "" : "\n") + ("      " + zshArgument + " \\");
  }
  return lines;
}

void Replace(std::string& text, const std::string& placeholder, const std::string& with) {
  for (std::size_t at = 0; (at = text.find(placeholder, at)) != std::string::npos;) {
    text.replace(at, placeholder.size(), with);
    at += with.size();
  }
}

}  // namespace
}  // namespace verko

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_completions TEMPLATE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  std::stringstream buffer;
  buffer << in.rdbuf();
  if (!in) {
    std::cerr << "make_completions: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::string text = buffer.str();
  verko::Replace(text, "@CLI_OPTIONS@", verko::BashOptions());
  verko::Replace(text, "@CLI_VALUE_CASES@", verko::BashValueCases());
  verko::Replace(text, "@CLI_ARGUMENTS@", verko::ZshArguments());
  // Written beside and put in place, so an interrupted build leaves no half file.
  const std::string temporary = std::string(argv[2]) + ".part";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out || std::rename(temporary.c_str(), argv[2]) != 0) {
    std::cerr << "make_completions: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
