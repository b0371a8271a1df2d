// The options of verko-cli, one entry each: name, short name, argument, help text, how
// its value is completed, and what it sets. Parsing, --help and the shell completions all
// read this table, so an option added here is parsed, listed and completed alike.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/cli_options.h"

namespace verko {

// What an option's action is given: its value (when it takes one) and where to put what
// it sets, or the message when the value is not acceptable.
struct OptionUse {
  std::string_view name;  // as written: "--encoding", "-r"
  std::string value;      // empty when the option takes no value or none was given
  bool hasValue = false;  // a value was given ("--color" alone has none)
  CliOptions& options;
  std::string& error;
};

// How a shell completes an option's value.
enum class ValueCompletion {
  kNothing,  // a number, a pattern or a name: nothing to offer
  kWords,    // one of `words`
  kFolder,   // a folder name
  kFile,     // a file or folder name
};

struct CliOption {
  const char* name;    // "--split"
  char shortName = 0;  // 'r' for -r; 0: none
  // The value's name in --help ("WIDTH"); null: the option takes no value.
  const char* argument = nullptr;
  // The value is optional and only given attached ("--color=WHEN"): "--color WHEN" would
  // read WHEN as a file name.
  bool attachedOnly = false;
  // --help's text; '\n' starts its next line. Parentheses hold what the shells' short
  // descriptions leave out.
  const char* help = "";
  ValueCompletion completion = ValueCompletion::kNothing;
  const char* words = nullptr;         // kWords: the values offered, separated by spaces
  const char* valueCaption = nullptr;  // what the value is, as zsh shows it ("文字コード")
  bool repeatable = false;             // may be given more than once
  // Given alone: the names and the other options are not read (--help, --version).
  bool alone = false;
  // The names OLD NEW RESULT are not given with it (--batch).
  bool withoutNames = false;
  // Sets what the option stands for; false with `use.error` set when its value is not
  // acceptable.
  bool (*apply)(OptionUse& use) = nullptr;
};

// Every option of verko-cli, in the order --help lists them.
std::span<const CliOption> CliOptionTable();

// The option that `arg` names ("--split", "-r"; without an attached "=value"); null when
// none does.
const CliOption* FindCliOption(std::string_view arg);

// The option's lines of --help, each ending in '\n': "  --split WIDTH        WIDTH バイト…".
std::string OptionHelpLines(const CliOption& option);

// The help text on one line without its parenthesised remarks, as the shells show it
// beside the option.
std::string OptionSummary(const CliOption& option);

}  // namespace verko
