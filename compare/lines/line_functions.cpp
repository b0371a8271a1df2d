// Normalising blanks and cutting wide lines. Both walk the CP932 characters natively: intake
// calls them for every line, and a regular expression per line would cost more than the
// whole matching. A split pattern other than the default goes through the library.
#include "compare/lines/line_functions.h"

#include <array>
#include <cstddef>

#include "common/cp932.h"
#include "common/encoding.h"
#include "common/separator_class.h"
#include "platform/regexp.h"

namespace verko {
namespace {

// For each byte value: how far a scan for blanks may skip from a character that starts with
// it (1, or 2 for a lead byte other than 81 when a trail byte follows), or 0 for the bytes
// that may start a blank (space, tab, and 81 of the ideographic space).
constexpr std::array<unsigned char, 256> kBlankScanSkip = [] {
  std::array<unsigned char, 256> skip{};
  for (int b = 0; b < 256; ++b) {
    const bool lead = IsLeadByte(static_cast<unsigned char>(b));
    skip[b] = b == ' ' || b == '\t' || b == 0x81 ? 0 : lead ? 2 : 1;
  }
  return skip;
}();

// Byte length of the blank (ASCII space, tab, ideographic space) that starts at p, or 0.
inline std::size_t BlankLengthAt(const char* p, const char* end) {
  char c = *p;
  if (c == ' ' || c == '\t') return 1;
  if (c == '\x81' && p + 1 < end && p[1] == '\x40') return 2;
  return 0;
}

// Byte offset of the first character that is not a blank.
std::size_t EndOfLeadingBlanks(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  for (std::size_t blank; p < end && (blank = BlankLengthAt(p, end)) != 0;) p += blank;
  return static_cast<std::size_t>(p - begin);
}

// Byte offset just after the last character that is not a blank, not below `first` (a
// character boundary). Walks back from the end, so a line without trailing blanks costs
// almost nothing.
std::size_t StartOfTrailingBlanks(std::string_view text, std::size_t first) {
  std::size_t last = text.size();
  while (last > first) {
    char b = text[last - 1];
    if ((b == ' ' || b == '\t') && StartsCharacter(text, first, last - 1)) {
      last -= 1;
    } else if (b == '\x40' && last - first >= 2 && text[last - 2] == '\x81' &&
               StartsCharacter(text, first, last - 2)) {
      last -= 2;
    } else {
      break;
    }
  }
  return last;
}

// The text with every run of blanks replaced by one ASCII space.
std::string CompressBlanks(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  std::string out;
  out.reserve(text.size());
  const char* spanStart = begin;  // start of the characters not yet copied
  const char* p = begin;
  while (p < end) {
    // Skip the characters that cannot be blanks; a lead byte stands alone before a byte
    // that cannot be its trail byte (a blank among them) and at the very end.
    std::size_t skip;
    while (p < end && (skip = kBlankScanSkip[static_cast<unsigned char>(*p)]) != 0) {
      p += skip == 2 && p + 1 < end && IsTrailByte(static_cast<unsigned char>(p[1])) ? 2 : 1;
    }
    if (p == end) break;
    std::size_t blank = BlankLengthAt(p, end);
    if (blank == 0) {
      p += CharLengthAt(text, static_cast<std::size_t>(p - begin));
      continue;
    }
    out.append(spanStart, p);
    do {
      p += blank;
    } while (p < end && (blank = BlankLengthAt(p, end)) != 0);
    out.push_back(' ');
    spanStart = p;
  }
  out.append(spanStart, end);
  return out;
}

// Byte offset just after the last character of text[0, size) that is not an ASCII space.
std::size_t EndWithoutTrailingSpaces(std::string_view text) {
  std::size_t end = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t len = CharLengthAt(text, pos);
    pos += len;
    if (len != 1 || text[pos - 1] != ' ') end = pos;
  }
  return end;
}

// The leftmost match of the default split pattern that starts at byte maxStart or before,
// without the library: each alternative is a greedy run of one class, and at a given start
// the first alternative whose class holds the first character wins (a run that starts with
// a katakana takes hiragana and marks too). Returns 1 with the match's byte range, or 0.
int FindDefaultSeparator(std::string_view text, std::size_t maxStart, std::size_t& begin,
                         std::size_t& end) {
  auto classAt = [&text](std::size_t pos, std::size_t len) {
    return SeparatorClassAt(text, pos, len, LineBreaks::kNotBlank);
  };
  for (std::size_t pos = 0; pos <= maxStart && pos < text.size();) {
    std::size_t len = CharLengthAt(text, pos);
    int cls = classAt(pos, len);
    if (cls == kNoSeparator) {
      pos += len;
      continue;
    }
    int accept = SeparatorRunClasses(cls);
    begin = pos;
    do {
      pos += len;
    } while (pos < text.size() && (classAt(pos, len = CharLengthAt(text, pos)) & accept) != 0);
    end = pos;
    return 1;
  }
  return 0;
}

bool IsDefaultSplitPattern(std::string_view pattern) {
  static const std::string defaultPattern = ToCp932(kDefaultSplitChar);
  return pattern == defaultPattern;
}

// The split pattern as a search: the default pattern natively (intake may cut every line),
// any other through the library.
class SplitSearch {
 public:
  explicit SplitSearch(std::string_view pattern)
      : pattern_(pattern), native_(IsDefaultSplitPattern(pattern)) {}

  // As FindMatchBytes: 1 with the match's byte range, 0, or -1 for a refused pattern. A
  // search that gave up for taking too long counts as no match and is remembered.
  int Find(std::string_view text, std::size_t maxStart, std::size_t& begin,
           std::size_t& end) const {
    if (native_) return FindDefaultSeparator(text, maxStart, begin, end);
    int r = FindMatchBytes(text, pattern_, maxStart, begin, end);
    if (r != kMatchTooSlow) return r;
    tooSlow_ = true;
    return 0;
  }

  bool TooSlow() const { return tooSlow_; }

 private:
  std::string_view pattern_;
  bool native_ = false;
  mutable bool tooSlow_ = false;
};

// Head length in bytes when the text is cut into at most maxPieces pieces, each ending right
// after a match of the pattern (the last one holding the rest), and whole pieces are taken
// while they fit into width. Pieces past the first that overflows are never needed, so the
// search only looks for matches that start within the width. 0 when the pattern is refused.
std::size_t HeadByPattern(std::string_view text, std::size_t width, const SplitSearch& search,
                          int maxPieces) {
  std::size_t head = 0;
  std::string_view remaining = text;
  for (int count = 1; count <= maxPieces; ++count) {
    std::size_t room = width - head;
    if (count == maxPieces) return remaining.size() <= room ? head + remaining.size() : head;
    std::size_t begin = 0;
    std::size_t end = 0;
    int r = search.Find(remaining, room, begin, end);
    if (r < 0) return 0;
    // No match starting within the room: the piece is the rest, or runs past the room.
    if (r == 0) return remaining.size() <= room ? head + remaining.size() : head;
    if (end > room) return head;
    head += end;
    remaining.remove_prefix(end);
  }
  return head;
}

// Head length in bytes when the text is cut into single characters: after the last whole
// character that fits into width.
std::size_t HeadByCharacters(std::string_view text, std::size_t width) {
  std::size_t head = 0;
  while (head < text.size()) {
    std::size_t len = CharLengthAt(text, head);
    if (head + len > width) break;
    head += len;
  }
  return head;
}

}  // namespace

std::string_view NormalizeLine(std::string_view line, const NormalizeOptions& options,
                               std::string* buffer) {
  std::size_t first = 0;
  std::size_t last = line.size();
  if (options.trimTop) first = EndOfLeadingBlanks(line);
  if (options.trimTail) last = StartOfTrailingBlanks(line, first);
  std::string_view kept = line.substr(first, last - first);
  if (!options.compress) return kept;
  *buffer = CompressBlanks(kept);
  return *buffer;
}

std::string NormalizeLine(std::string_view line, const NormalizeOptions& options) {
  std::string buffer;
  return std::string(NormalizeLine(line, options, &buffer));
}

void SplitLine(std::string& line, std::string& rest, int splitWidth,
               std::string_view splitCharPattern) {
  std::size_t head = SplitHeadLength(line, splitWidth, splitCharPattern);
  rest.assign(line, head, std::string::npos);
  line.resize(EndWithoutTrailingSpaces(std::string_view(line).substr(0, head)));
}

std::size_t SplitHeadLength(std::string_view text, int splitWidth,
                            std::string_view splitCharPattern, bool* searchTooSlow) {
  const std::size_t width = splitWidth > 0 ? static_cast<std::size_t>(splitWidth) : 0;
  std::size_t head = 0;
  if (searchTooSlow == nullptr || !*searchTooSlow) {
    SplitSearch search(splitCharPattern);
    head = HeadByPattern(text, width, search, splitWidth / 2);
    if (searchTooSlow != nullptr && search.TooSlow()) *searchTooSlow = true;
  }
  if (head == 0) head = HeadByCharacters(text, width);
  // Only a width below 2 can leave no room for the first character; it is taken anyway so
  // that a caller cutting the rest again always advances.
  if (head == 0 && !text.empty()) head = CharLengthAt(text, 0);
  return head;
}

std::string_view WithoutTrailingSpaces(std::string_view head) {
  return head.substr(0, EndWithoutTrailingSpaces(head));
}

std::size_t SplitLookaheadChars(int splitWidth, std::string_view splitCharPattern) {
  if (!IsDefaultSplitPattern(splitCharPattern)) return 0;
  return static_cast<std::size_t>(splitWidth > 0 ? splitWidth : 0) + 64;
}

}  // namespace verko
