// Filling a batch list: splitting the answer of a file dialog into a folder and names, the
// pairing patterns of method 3 ("*" marks a matching part), and the look-up of a partner
// file in a folder by a wildcard name. Texts are UTF-8 file names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/batch_types.h"

namespace verko {

// Error texts of PatternNewName and PatternOldName start with this nine-character prefix.
inline constexpr std::string_view kPatternErrorPrefix = "??ERROR??";

struct SelectedFiles {
  std::string folder;  // with its trailing "/"
  std::vector<std::string> names;
};

// The text a multi-select file dialog returns: one path, or the folder, a NUL and the names
// separated by NULs.
SelectedFiles SplitSelectedFiles(std::string_view dialogText);
// The same from the full paths a file dialog returns: the folder of the first path and the
// names of all, in order.
SelectedFiles SplitSelectedFiles(const std::vector<std::string>& paths);

// A pattern cut into its parts: "*", "." and the literal runs between them.
struct PatternParts {
  std::vector<std::string> parts;
  int stars = 0;
};
PatternParts SplitPattern(std::string_view pattern);
// The tagged expression of parts: "*" -> ".+", "." -> "\.", literals unchanged, joined with
// the tag separator "〓".
std::string PatternToRegex(const std::vector<std::string>& parts);
std::string JoinParts(const std::vector<std::string>& parts);

// Method 3: the partner name made from a name by the old pattern (fname "." ext) and the new
// pattern. Empty when the name does not fit; a text starting with kPatternErrorPrefix when
// the patterns are unusable.
std::string PatternNewName(const std::string& oldName, const BatchListSettings& settings);
std::string PatternOldName(const std::string& newName, const BatchListSettings& settings);

// The file names of a folder (directories left out) in listing order: sorted by name as the
// folder listing shows them. Empty when the folder cannot be read.
std::vector<std::string> ListFolderFiles(const std::string& folder);
// Whether `name` fits the wildcard `pattern` ("*" any run, "?" any one character, other
// characters as they are, letter case significant as on this file system).
bool WildcardMatch(std::string_view pattern, std::string_view name);
// The first entry that fits the wildcard, spelt as the folder spells it; empty when none.
std::string FindWildcardEntry(const std::vector<std::string>& entries, std::string_view pattern);

enum class PairSide { kOld, kNew };

// Whether a pattern field holds a character the pairing refuses ("\" or "?").
bool HasInvalidPatternChar(const BatchListSettings& settings);

// Automatic pairing: for every row whose `side` is unpaired, the partner found among
// `entries` (the folder's listing) for the row's other name by the list's pairing method.
struct AutoPairOutcome {
  std::vector<std::pair<std::size_t, std::string>> found;  // row index, partner name
  std::string patternError;  // the message after the prefix, when a pattern is unusable
};
AutoPairOutcome AutoPairFiles(const std::vector<PairRow>& rows, PairSide side,
                              const BatchListSettings& settings,
                              const std::vector<std::string>& entries);

}  // namespace verko
