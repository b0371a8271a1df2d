#include "batch/file_pairing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/encoding.h"
#include "common/path_parts.h"
#include "platform/regexp.h"

namespace verko {
namespace {

// The UTF-8 characters of a text, each as its own piece; a stray byte is a piece of its own.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> chars;
  for (std::size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t len = lead < 0x80           ? 1
                      : (lead >> 5) == 0x6  ? 2
                      : (lead >> 4) == 0xE  ? 3
                      : (lead >> 3) == 0x1E ? 4
                                            : 1;
    len = std::min(len, text.size() - i);
    chars.push_back(text.substr(i, len));
    i += len;
  }
  return chars;
}

std::string PatternError(std::string_view message) {
  return std::string(kPatternErrorPrefix) + std::string(message);
}

// PatternNewName and PatternOldName: `from` patterns describe the given name, `to` patterns
// the name to make.
std::string ApplyPairPattern(const std::string& name, const std::string& fromPattern,
                             const std::string& toPattern) {
  PatternParts from = SplitPattern(fromPattern);
  PatternParts to = SplitPattern(toPattern);
  if (from.stars != to.stars) {
    return PatternError(
        "一致部分(\"*\")の数は旧ファイル名と新ファイル名とで同じでなければなりません。");
  }
  if (from.stars == 0) return PatternError("一致部分(\"*\")を少なくとも１箇所に指定してください。");

  const std::string expression = PatternToRegex(from.parts);
  // Tag n is the text sub-pattern n matched: each "*" of the given name becomes its tag.
  std::vector<std::string> tags;
  for (std::size_t i = 0; i < from.parts.size(); ++i) {
    if (from.parts[i] == "*") tags.push_back("&" + std::to_string(i));
  }
  std::size_t star = 0;
  for (std::string& part : to.parts) {
    if (part == "*") part = tags[star++];
  }
  std::string text = ToCp932(name);
  if (TaggedGSubRigc(text, ToCp932(expression), ToCp932(JoinParts(to.parts))) <= 0) return "";
  return FromCp932(text);
}

}  // namespace

SelectedFiles SplitSelectedFiles(std::string_view dialogText) {
  SelectedFiles selected;
  std::size_t nul = dialogText.find('\0');
  if (nul == std::string_view::npos) {
    selected.folder = DirPart(dialogText);
    selected.names.push_back(std::string(dialogText.substr(selected.folder.size())));
    return selected;
  }
  selected.folder = std::string(dialogText.substr(0, nul)) + "/";
  for (std::size_t start = nul + 1; start <= dialogText.size();) {
    std::size_t end = dialogText.find('\0', start);
    if (end == std::string_view::npos) end = dialogText.size();
    if (end > start) selected.names.push_back(std::string(dialogText.substr(start, end - start)));
    start = end + 1;
  }
  return selected;
}

SelectedFiles SplitSelectedFiles(const std::vector<std::string>& paths) {
  SelectedFiles selected;
  if (paths.empty()) return selected;
  selected.folder = DirPart(paths.front());
  for (const std::string& path : paths) selected.names.push_back(FileNamePart(path));
  return selected;
}

PatternParts SplitPattern(std::string_view pattern) {
  PatternParts result;
  std::string_view rest = pattern;
  auto append = [&](std::string_view part) {
    result.parts.emplace_back(part);
    if (part == "*") ++result.stars;
  };
  // "*" and "." are single bytes that never occur inside a multi-byte character.
  while (!rest.empty()) {
    std::size_t at = rest.find_first_of("*.");
    if (at == std::string_view::npos) {
      append(rest);
      break;
    }
    if (at > 0) append(rest.substr(0, at));
    append(rest.substr(at, 1));
    rest.remove_prefix(at + 1);
  }
  return result;
}

std::string PatternToRegex(const std::vector<std::string>& parts) {
  std::string expression;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) expression += "〓";
    expression += parts[i] == "*" ? ".+" : parts[i] == "." ? "\\." : parts[i];
  }
  return expression;
}

std::string JoinParts(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) joined += part;
  return joined;
}

std::string PatternNewName(const std::string& oldName, const BatchListSettings& settings) {
  return ApplyPairPattern(oldName, settings.pairingFname + "." + settings.pairingExt,
                          settings.pairingFname2 + "." + settings.pairingExt2);
}

std::string PatternOldName(const std::string& newName, const BatchListSettings& settings) {
  return ApplyPairPattern(newName, settings.pairingFname2 + "." + settings.pairingExt2,
                          settings.pairingFname + "." + settings.pairingExt);
}

std::vector<std::string> ListFolderFiles(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code statError;
    if (it->is_directory(statError)) continue;
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  const std::vector<std::string_view> p = Characters(pattern);
  const std::vector<std::string_view> n = Characters(name);
  // Greedy walk with one backtrack point: the last "*" and the name position it resumes at.
  std::size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == "?" || (p[pi] != "*" && p[pi] == n[ni]))) {
      ++pi, ++ni;
    } else if (pi < p.size() && p[pi] == "*") {
      starP = pi++;
      starN = ni;
    } else if (starP != std::string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == "*") ++pi;
  return pi == p.size();
}

std::string FindWildcardEntry(const std::vector<std::string>& entries, std::string_view pattern) {
  // A name without wildcards fits only itself: a plain look-up, fast in large folders.
  if (pattern.find_first_of("*?") == std::string_view::npos) {
    auto it = std::find(entries.begin(), entries.end(), pattern);
    return it == entries.end() ? "" : *it;
  }
  for (const std::string& entry : entries) {
    if (WildcardMatch(pattern, entry)) return entry;
  }
  return "";
}

bool HasInvalidPatternChar(const BatchListSettings& s) {
  for (const std::string* field :
       {&s.pairingFname, &s.pairingFname2, &s.pairingExt, &s.pairingExt2}) {
    if (field->find_first_of("\\?") != std::string::npos) return true;
  }
  return false;
}

AutoPairOutcome AutoPairFiles(const std::vector<PairRow>& rows, PairSide side,
                              const BatchListSettings& settings,
                              const std::vector<std::string>& entries) {
  AutoPairOutcome outcome;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string& target = side == PairSide::kNew ? rows[i].newFile : rows[i].oldFile;
    const std::string& source = side == PairSide::kNew ? rows[i].oldFile : rows[i].newFile;
    if (target != UnpairedMark) continue;
    std::string candidate;
    switch (settings.pairingMethod) {
      case 1:
        candidate = source;
        break;
      case 2:
        candidate = BaseNamePart(source) + "." + settings.pairingExt;
        break;
      case 3:
        candidate = side == PairSide::kNew ? PatternNewName(source, settings)
                                           : PatternOldName(source, settings);
        if (candidate.starts_with(kPatternErrorPrefix)) {
          outcome.patternError = candidate.substr(kPatternErrorPrefix.size());
          return outcome;
        }
        break;
      default:
        break;
    }
    if (candidate.empty()) continue;
    std::string found = FindWildcardEntry(entries, candidate);
    if (!found.empty()) outcome.found.emplace_back(i, found);
  }
  return outcome;
}

}  // namespace verko
