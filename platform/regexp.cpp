// The regular-expression functions over Oniguruma's Shift_JIS encoding. Oniguruma's lead-byte
// table for Shift_JIS is the CP932 one (0x81-0x9F, 0xE0-0xFC); with the lead bytes that stand
// alone given as single bytes (SearchText), its character boundaries are ours and a match
// never starts or ends inside a double-byte character. Syntax is Oniguruma's
// Ruby dialect with "^" and "$" anchored to the text and "." matching any one character.
#include "platform/regexp.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/cp932.h"
#include "platform/oniguruma_library.h"

namespace verko {
namespace {

constexpr OnigOptionType kBaseOptions = ONIG_OPTION_SINGLELINE | ONIG_OPTION_MULTILINE;
constexpr OnigOptionType kIgnoreCase = kBaseOptions | ONIG_OPTION_IGNORECASE;
// Tagged patterns capture only their tags, so groups inside a sub-pattern do not shift the
// numbering of the tags.
constexpr OnigOptionType kTaggedOptions = kIgnoreCase | ONIG_OPTION_DONT_CAPTURE_GROUP;
constexpr const char kTagGroupPrefix[] = "verkotag";

const UChar* Bytes(const char* p) {
  return reinterpret_cast<const UChar*>(p);
}

// The backtracking a search may do before it gives up (a retry costs some 30 ns here): a
// match tried at one position stops after about 30 ms, a whole search after about 100 ms,
// far more than any sensible pattern needs on a line.
constexpr unsigned long kRetryLimitInMatch = 1'000'000;
constexpr unsigned long kRetryLimitInSearch = 3'000'000;
constexpr auto kSearchTimeLimit = std::chrono::milliseconds(100);

void InitializeOniguruma() {
  static std::once_flag once;
  std::call_once(once, [] {
    OnigEncoding encodings[] = {Oniguruma().encodingSjis};
    Oniguruma().initialize_(encodings, 1);
    Oniguruma().set_retry_limit_in_match_(kRetryLimitInMatch);
    Oniguruma().set_retry_limit_in_search_(kRetryLimitInSearch);
  });
}

struct RegexFree {
  void operator()(regex_t* regex) const { Oniguruma().free_(regex); }
};
using RegexPtr = std::unique_ptr<regex_t, RegexFree>;

struct RegionFree {
  void operator()(OnigRegion* region) const { Oniguruma().region_free_(region, 1); }
};

RegexPtr CompileRaw(std::string_view pattern, OnigOptionType options) {
  // Without the library no pattern compiles (RegexLibraryAvailable says why).
  if (!LoadOniguruma(nullptr)) return nullptr;
  InitializeOniguruma();
  regex_t* regex = nullptr;
  OnigErrorInfo info;
  int r = Oniguruma().new_(&regex, Bytes(pattern.data()), Bytes(pattern.data() + pattern.size()),
                           options, Oniguruma().encodingSjis, Oniguruma().syntaxRuby, &info);
  if (r != ONIG_NORMAL) {
    if (regex != nullptr) Oniguruma().free_(regex);
    return nullptr;
  }
  return RegexPtr(regex);
}

// Splits a tagged pattern at each "〓" character (never at bytes inside another double-byte
// character).
std::vector<std::string_view> SplitAtTagSeparator(std::string_view pattern) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    std::size_t len = CharLengthAt(pattern, pos);
    if (pattern.substr(pos, len) == kTagSeparator) {
      parts.push_back(pattern.substr(start, pos - start));
      start = pos + len;
    }
    pos += len;
  }
  parts.push_back(pattern.substr(start));
  return parts;
}

std::string TagGroupName(std::size_t n) {
  return kTagGroupPrefix + std::to_string(n);
}

// Wraps every sub-pattern in a named group, in order. Each sub-pattern must compile on its
// own, so that parentheses cannot pair across separators.
RegexPtr CompileTagged(std::string_view taggedPattern) {
  std::string combined;
  std::vector<std::string_view> parts = SplitAtTagSeparator(taggedPattern);
  for (std::size_t n = 0; n < parts.size(); ++n) {
    if (!CompileRaw(parts[n], kTaggedOptions)) return nullptr;
    combined += "(?<" + TagGroupName(n) + ">";
    combined += parts[n];
    combined += ")";
  }
  return CompileRaw(combined, kTaggedOptions);
}

enum class PatternKind : char { kPlain = 'p', kTagged = 't' };

// Compiled patterns, kept per thread. Intake asks for the same split pattern for every wide
// line and the file pairing for the same tagged pattern for every file name; compiling costs
// far more than matching. The cache is thread_local, so it needs no lock and a compiled
// pattern is never searched by two threads at once; it holds a handful of entries, the
// least recently used one being replaced. Refused patterns are remembered too (null regex).
class PatternCache {
 public:
  regex_t* Find(std::string_view pattern, OnigOptionType options, PatternKind kind) {
    for (std::size_t i = 0; i < used_; ++i) {
      const Entry& entry = entries_[i];
      if (entry.kind == kind && entry.options == options && entry.pattern == pattern) {
        std::rotate(entries_.begin(), entries_.begin() + i, entries_.begin() + i + 1);
        return entries_[0].regex.get();
      }
    }
    RegexPtr regex =
        kind == PatternKind::kTagged ? CompileTagged(pattern) : CompileRaw(pattern, options);
    if (used_ < entries_.size()) ++used_;
    std::rotate(entries_.begin(), entries_.begin() + used_ - 1, entries_.begin() + used_);
    entries_[0] = Entry{kind, options, std::string(pattern), std::move(regex)};
    return entries_[0].regex.get();
  }

  // The match region, reused by every search of this thread.
  OnigRegion* Region() {
    if (!region_) region_.reset(Oniguruma().region_new_());
    return region_.get();
  }

 private:
  struct Entry {
    PatternKind kind = PatternKind::kPlain;
    OnigOptionType options = 0;
    std::string pattern;
    RegexPtr regex;
  };
  std::array<Entry, 16> entries_;
  std::size_t used_ = 0;
  std::unique_ptr<OnigRegion, RegionFree> region_;
};

PatternCache& Cache() {
  thread_local PatternCache cache;
  return cache;
}

// The text as Oniguruma is given it. Oniguruma pairs a lead byte with whatever byte follows
// it, where a lead byte before a byte that cannot be its trail byte stands alone (and that
// byte as itself), and a lone lead byte at the very end would make it read past the end of
// the text: the search sees a single-byte stand-in (0x80) for every lead byte that stands
// alone, so its characters are ours. Offsets stay those of the original text, from which all
// output is copied.
class SearchText {
 public:
  explicit SearchText(std::string_view text) : view_(text) {
    for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) {
      if (IsLeadByte(static_cast<unsigned char>(text[pos])) && CharLengthAt(text, pos) == 1) {
        if (patched_.empty()) patched_.assign(text);
        patched_[pos] = '\x80';
      }
    }
    if (!patched_.empty()) view_ = patched_;
  }
  std::string_view view() const { return view_; }

 private:
  std::string patched_;
  std::string_view view_;
};

struct ByteMatch {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Leftmost match starting at `from` or later. Returns 1, 0 (none), kMatchTooSlow (the
// search gave up) or -1 (matching failed).
int SearchFrom(regex_t* regex, OnigRegion* region, std::string_view text, std::size_t from,
               std::size_t rangeEnd, ByteMatch& match) {
  const UChar* str = Bytes(text.data());
  int r = Oniguruma().search_(regex, str, str + text.size(), str + from, str + rangeEnd, region,
                              ONIG_OPTION_NONE);
  if (r == ONIG_MISMATCH) return 0;
  if (r == ONIGERR_RETRY_LIMIT_IN_MATCH_OVER || r == ONIGERR_RETRY_LIMIT_IN_SEARCH_OVER) {
    return kMatchTooSlow;
  }
  if (r < 0) return -1;
  match.begin = static_cast<std::size_t>(region->beg[0]);
  match.end = static_cast<std::size_t>(region->end[0]);
  return 1;
}

int FindFirst(std::string_view text, std::string_view pattern, OnigOptionType options,
              ByteMatch& match) {
  PatternCache& cache = Cache();
  regex_t* regex = cache.Find(pattern, options, PatternKind::kPlain);
  if (regex == nullptr) return -1;
  SearchText search(text);
  return SearchFrom(regex, cache.Region(), search.view(), 0, text.size(), match);
}

// Calls appendReplacement(out, region) for every match, from left to right, and copies the
// text between matches. After an empty match the next character is copied and the search
// goes on after it, so an empty match cannot repeat. Returns the number of replacements, or
// -1 with the text unchanged when the pattern is refused or matching fails.
template <typename AppendReplacement>
int ReplaceAll(std::string& text, regex_t* regex, int maxCount,
               AppendReplacement appendReplacement) {
  if (regex == nullptr) return -1;
  OnigRegion* region = Cache().Region();
  SearchText search(text);
  std::string_view view = search.view();
  std::string out;
  std::size_t copied = 0;
  std::size_t from = 0;
  int count = 0;
  while (count < maxCount && from <= text.size()) {
    ByteMatch match;
    int r = SearchFrom(regex, region, view, from, text.size(), match);
    if (r < 0) return -1;
    if (r == 0) break;
    if (count == 0) out.reserve(text.size());
    out.append(text, copied, match.begin - copied);
    appendReplacement(out, region);
    ++count;
    copied = match.end;
    from = match.end;
    if (match.end == match.begin) {
      if (match.begin >= text.size()) break;
      std::size_t step = CharLengthAt(text, match.begin);
      out.append(text, match.begin, step);
      copied = from = match.begin + step;
    }
  }
  if (count == 0) return 0;
  out.append(text, copied, std::string::npos);
  text = std::move(out);
  return count;
}

int ReplaceLiteral(std::string& text, std::string_view pattern, std::string_view replacement,
                   OnigOptionType options, int maxCount) {
  regex_t* regex = Cache().Find(pattern, options, PatternKind::kPlain);
  return ReplaceAll(text, regex, maxCount,
                    [replacement](std::string& out, OnigRegion*) { out.append(replacement); });
}

// A replacement of a tagged substitution, parsed: literal text and tag references.
struct ReplacementPart {
  std::string_view literal;
  int tag = -1;  // >= 0: the text of this tag
};

// "&" followed by decimal digits stands for that tag; any other character is literal.
std::vector<ReplacementPart> ParseTaggedReplacement(std::string_view replacement) {
  std::vector<ReplacementPart> parts;
  std::size_t literalStart = 0;
  std::size_t pos = 0;
  while (pos < replacement.size()) {
    std::size_t len = CharLengthAt(replacement, pos);
    bool digitFollows =
        pos + 1 < replacement.size() && replacement[pos + 1] >= '0' && replacement[pos + 1] <= '9';
    if (replacement[pos] != '&' || !digitFollows) {
      pos += len;
      continue;
    }
    parts.push_back({replacement.substr(literalStart, pos - literalStart)});
    std::size_t digits = pos + 1;
    int tag = 0;
    while (digits < replacement.size() && replacement[digits] >= '0' &&
           replacement[digits] <= '9') {
      tag = tag < 100000 ? tag * 10 + (replacement[digits] - '0') : tag;
      ++digits;
    }
    parts.push_back({std::string_view(), tag});
    literalStart = pos = digits;
  }
  parts.push_back({replacement.substr(literalStart)});
  return parts;
}

// Group number of each tag of a compiled tagged pattern.
std::vector<int> TagGroupNumbers(regex_t* regex, std::size_t tagCount) {
  std::vector<int> groups(tagCount, -1);
  for (std::size_t n = 0; n < tagCount; ++n) {
    std::string name = TagGroupName(n);
    int* numbers = nullptr;
    int found = Oniguruma().name_to_group_numbers_(regex, Bytes(name.data()),
                                                   Bytes(name.data() + name.size()), &numbers);
    if (found >= 1) groups[n] = numbers[found - 1];
  }
  return groups;
}

}  // namespace

int MatchR(std::string_view text, std::string_view pattern, int& position, int& length) {
  position = 0;
  length = 0;
  ByteMatch match;
  int r = FindFirst(text, pattern, kBaseOptions, match);
  if (r <= 0) return r;
  position = static_cast<int>(CharCount(text.substr(0, match.begin))) + 1;
  length = static_cast<int>(CharCount(text.substr(match.begin, match.end - match.begin)));
  return 1;
}

int FindMatchBytes(std::string_view text, std::string_view pattern, std::size_t maxStart,
                   std::size_t& begin, std::size_t& end) {
  PatternCache& cache = Cache();
  regex_t* regex = cache.Find(pattern, kBaseOptions, PatternKind::kPlain);
  if (regex == nullptr) return -1;
  SearchText search(text);
  const UChar* str = Bytes(search.view().data());
  const UChar* strEnd = str + text.size();
  // A match is tried at each start position in turn, over the whole text. A search whose
  // range ends at maxStart would be cheaper, but Oniguruma then misses a match that starts
  // within the range and ends beyond it (or looks ahead beyond it), and finds a later one.
  const auto deadline = std::chrono::steady_clock::now() + kSearchTimeLimit;
  for (std::size_t pos = 0; pos <= maxStart && pos <= text.size();
       pos += pos < text.size() ? CharLengthAt(text, pos) : 1) {
    int r = Oniguruma().match_(regex, str, strEnd, str + pos, cache.Region(), ONIG_OPTION_NONE);
    if (r >= 0) {
      begin = pos;
      end = pos + static_cast<std::size_t>(r);
      return 1;
    }
    if (r == ONIGERR_RETRY_LIMIT_IN_MATCH_OVER) return kMatchTooSlow;
    if (r != ONIG_MISMATCH) return -1;
    if (std::chrono::steady_clock::now() > deadline) return kMatchTooSlow;
  }
  return 0;
}

int GSubR(std::string& text, std::string_view pattern, std::string_view replacement) {
  return ReplaceLiteral(text, pattern, replacement, kBaseOptions, INT32_MAX);
}

int GSubRigc(std::string& text, std::string_view pattern, std::string_view replacement) {
  return ReplaceLiteral(text, pattern, replacement, kIgnoreCase, INT32_MAX);
}

int TaggedGSubRigc(std::string& text, std::string_view taggedPattern,
                   std::string_view replacement) {
  regex_t* regex = Cache().Find(taggedPattern, kTaggedOptions, PatternKind::kTagged);
  if (regex == nullptr) return -1;
  std::vector<int> groups = TagGroupNumbers(regex, SplitAtTagSeparator(taggedPattern).size());
  std::vector<ReplacementPart> parts = ParseTaggedReplacement(replacement);
  // ReplaceAll leaves `text` as it is until every match is done, so tags are read from it.
  const std::string& original = text;
  return ReplaceAll(text, regex, INT32_MAX, [&](std::string& out, OnigRegion* region) {
    for (const ReplacementPart& part : parts) {
      if (part.tag < 0) {
        out.append(part.literal);
        continue;
      }
      // A tag the pattern does not have stands for empty text.
      if (static_cast<std::size_t>(part.tag) >= groups.size()) continue;
      int group = groups[part.tag];
      if (group < 0 || group >= region->num_regs || region->beg[group] < 0) continue;
      out.append(original, region->beg[group], region->end[group] - region->beg[group]);
    }
  });
}

int SplitByMatch(std::string_view text, std::string_view pattern, std::vector<std::string>& pieces,
                 int maxPieces) {
  pieces.assign(maxPieces > 0 ? maxPieces : 0, std::string());
  std::string_view remaining = text;
  for (int count = 1; count <= maxPieces; ++count) {
    if (count == maxPieces) {
      pieces[count - 1].assign(remaining);
      return count;
    }
    std::size_t begin = 0;
    std::size_t end = 0;
    int r = FindMatchBytes(remaining, pattern, remaining.size(), begin, end);
    if (r == kMatchTooSlow) r = 0;  // a search that gave up counts as no match
    if (r < 0) return -1;
    if (r == 0) {
      pieces[count - 1].assign(remaining);
      return count;
    }
    pieces[count - 1].assign(remaining.substr(0, end));
    remaining.remove_prefix(end);
  }
  return 0;
}

bool RegexLibraryAvailable(std::string* failure) {
  return LoadOniguruma(failure);
}

}  // namespace verko
