#include "report/change_units.h"

#include <algorithm>
#include <array>

#include "common/cp932.h"

namespace verko {
namespace {

// The bytes of ASCII letters, digits and "_", which run together into one unit.
constexpr auto kWordBytes = [] {
  std::array<bool, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                  (byte >= 'a' && byte <= 'z') || byte == '_';
  }
  return table;
}();

bool IsWordByte(unsigned char byte) {
  return kWordBytes[byte];
}

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// The byte length of the character at `pos` (a non-ASCII one); 1 for a byte that starts
// no valid character, so that every byte belongs to exactly one unit. CP932 characters and
// UTF-8 validity are common/'s rules, as intake and the viewer read them.
std::size_t CharacterLength(std::string_view text, std::size_t pos, TextEncoding encoding) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  const std::size_t left = text.size() - pos;
  auto trail = [&](std::size_t i, unsigned char low, unsigned char high) {
    return i < left && InRange(static_cast<unsigned char>(text[pos + i]), low, high);
  };
  switch (encoding) {
    case TextEncoding::kCp932:
      return CharLengthAt(text, pos);
    case TextEncoding::kUtf8: {
      uint32_t codePoint;
      return std::max<std::size_t>(1, DecodeCharacter(text, pos, encoding, &codePoint));
    }
    case TextEncoding::kEucJp:
      if (byte == 0x8E) return trail(1, 0xA1, 0xDF) ? 2 : 1;
      if (byte == 0x8F) return trail(1, 0xA1, 0xFE) && trail(2, 0xA1, 0xFE) ? 3 : 1;
      if (InRange(byte, 0xA1, 0xFE)) return trail(1, 0xA1, 0xFE) ? 2 : 1;
      return 1;
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      // Reports are never UTF-16 (such files give a UTF-8 report): bytes stay units.
      return 1;
  }
  return 1;
}

constexpr uint32_t kZeroWidthJoiner = 0x200D;

bool IsRegionalIndicator(uint32_t cp) {
  return cp >= 0x1F1E6 && cp <= 0x1F1FF;
}

// Whether a character joins the one before it into one user-perceived character: combining
// marks (Latin accents, the kana voicing marks), variation selectors, emoji modifiers and
// tags, the keycap and the zero-width joiner (which also joins the character after it).
bool IsExtending(uint32_t cp) {
  static constexpr uint32_t kRanges[][2] = {
      {0x0300, 0x036F},   {0x1AB0, 0x1AFF},   {0x1DC0, 0x1DFF},  {0x200C, 0x200D},
      {0x20D0, 0x20FF},   {0x3099, 0x309A},   {0xFE00, 0xFE0F},  {0xFE20, 0xFE2F},
      {0x1F3FB, 0x1F3FF}, {0xE0020, 0xE007F}, {0xE0100, 0xE01EF}};
  for (const auto& range : kRanges) {
    if (cp >= range[0] && cp <= range[1]) return true;
  }
  return false;
}

// The code point of the valid UTF-8 character at `pos`, with its length in *length (0 when
// the bytes there are none).
uint32_t CodePointAt(std::string_view text, std::size_t pos, std::size_t* length) {
  uint32_t cp = 0;
  *length = DecodeCharacter(text, pos, TextEncoding::kUtf8, &cp);
  return cp;
}

// The end of what joins the UTF-8 character (or ASCII run) ending at `pos`: its combining
// marks and the like; a zero-width joiner brings the next character too, and a regional
// indicator its partner.
std::size_t JoinedEnd(std::string_view text, std::size_t pos, bool regional) {
  std::size_t length;
  while (pos < text.size()) {
    // Every extending character, and every regional indicator, starts with a byte from 0xCC.
    if (static_cast<unsigned char>(text[pos]) < 0xCC) break;
    const uint32_t cp = CodePointAt(text, pos, &length);
    if (length == 0) break;
    if (regional && IsRegionalIndicator(cp)) {
      regional = false;
    } else if (!IsExtending(cp)) {
      break;
    }
    pos += length;
    if (cp == kZeroWidthJoiner && pos < text.size()) {
      pos += CharacterLength(text, pos, TextEncoding::kUtf8);
    }
  }
  return pos;
}

// The end of the unit that starts at `pos` (< text.size()).
std::size_t UnitEnd(std::string_view text, std::size_t pos, TextEncoding encoding) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  if (byte >= 0x80) return ClusterEnd(text, pos, encoding);
  ++pos;
  if (IsWordByte(byte)) {
    while (pos < text.size() && IsWordByte(static_cast<unsigned char>(text[pos]))) ++pos;
  }
  return encoding == TextEncoding::kUtf8 ? JoinedEnd(text, pos, false) : pos;
}

}  // namespace

namespace {

// The end of the unit that starts at `pos` (< text.size()), CP932 inline: reports are most
// often CP932, and this is the inner loop of splitting.
inline std::size_t StepUnit(std::string_view text, std::size_t pos, TextEncoding encoding) {
  if (encoding != TextEncoding::kCp932) return UnitEnd(text, pos, encoding);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char byte = bytes[pos];
  if (byte >= 0x80) return pos + CharLengthAt(text, pos);
  ++pos;
  if (IsWordByte(byte)) {
    while (pos < text.size() && IsWordByte(bytes[pos])) ++pos;
  }
  return pos;
}

}  // namespace

std::size_t ClusterEnd(std::string_view text, std::size_t pos, TextEncoding encoding) {
  const std::size_t end = pos + CharacterLength(text, pos, encoding);
  if (encoding != TextEncoding::kUtf8) return end;
  std::size_t length;
  return JoinedEnd(text, end, IsRegionalIndicator(CodePointAt(text, pos, &length)));
}

void AppendUnits(std::string_view text, std::size_t from, std::size_t to, TextEncoding encoding,
                 Bounds* bounds) {
  bounds->reserve(bounds->size() + (to - from) + 2);  // at most one unit per byte, and ends
  for (std::size_t pos = from; pos < to; pos = StepUnit(text, pos, encoding)) {
    bounds->push_back(static_cast<uint32_t>(pos));
  }
}

namespace {

// Whether a character starts at byte `q` (0 < q < size) as AppendUnits splits the text,
// found from the bytes before it rather than by splitting the text from its start.
bool IsCharacterStart(std::string_view text, std::size_t q, TextEncoding encoding) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  switch (encoding) {
    case TextEncoding::kCp932: {
      // The last byte before q that cannot lead a character ends one; the bytes after it
      // go in pairs, so an even run of possible lead bytes ends on a boundary, and an odd
      // one where its last lead byte stands alone.
      std::size_t run = 0;
      while (run < q && IsLeadByte(bytes[q - 1 - run])) ++run;
      return run % 2 == 0 || CharLengthAt(text, q - 1) == 1;
    }
    case TextEncoding::kUtf8:
      // A lead byte always starts a character; q is inside one when the nearest lead
      // byte within three before it starts a valid character that reaches q.
      for (std::size_t k = 1; k <= 3 && k <= q; ++k) {
        const unsigned char byte = bytes[q - k];
        if ((byte & 0xC0) == 0x80) continue;
        return !InRange(byte, 0xC2, 0xF4) || CharacterLength(text, q - k, encoding) <= k;
      }
      return true;
    case TextEncoding::kEucJp: {
      std::size_t pos = 0;
      while (pos < q) pos += bytes[pos] < 0x80 ? 1 : CharacterLength(text, pos, encoding);
      return pos == q;
    }
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      return true;
  }
  return true;
}

// Whether the UTF-8 character at `q` (a character start, 0 < q < size) joins the one
// before it, as JoinedEnd joins them.
bool JoinsPrevious(std::string_view text, std::size_t q) {
  std::size_t length;
  const uint32_t cp = CodePointAt(text, q, &length);
  if (length > 0 && IsExtending(cp)) return true;
  if (q >= 3 && text.substr(q - 3, 3) == "\xE2\x80\x8D") return true;  // a zero-width joiner
  if (length == 0 || !IsRegionalIndicator(cp)) return false;
  // Regional indicators pair from the first of their run.
  std::size_t before = 0;
  while (q >= 4 * (before + 1) &&
         IsRegionalIndicator(CodePointAt(text, q - 4 * (before + 1), &length)) && length == 4) {
    ++before;
  }
  return before % 2 == 1;
}

// Whether a unit may start at `q` (0 < q < size): a character that nothing joins to the one
// before it.
bool IsClusterStart(std::string_view text, std::size_t q, TextEncoding encoding) {
  if (!IsCharacterStart(text, q, encoding)) return false;
  return encoding != TextEncoding::kUtf8 || !JoinsPrevious(text, q);
}

}  // namespace

std::size_t UnitStart(std::string_view text, std::size_t q, TextEncoding encoding) {
  while (q > 0 && !IsClusterStart(text, q, encoding)) --q;
  auto wordAt = [&](std::size_t k) {
    const auto byte = static_cast<unsigned char>(text[k]);
    return byte < 0x80 && IsWordByte(byte);
  };
  if (!wordAt(q)) return q;
  while (q > 0 && wordAt(q - 1) && IsClusterStart(text, q - 1, encoding)) --q;
  return q;
}

std::size_t NextBoundary(std::string_view text, std::size_t q, TextEncoding encoding) {
  if (q >= text.size()) return text.size();
  const std::size_t start = UnitStart(text, q, encoding);
  return start == q ? q : UnitEnd(text, start, encoding);
}

// Split and keyed in one pass, as AppendUnits splits.
void UnitKeys(std::string_view text, TextEncoding encoding, std::vector<uint64_t>* keys) {
  const std::size_t size = text.size();
  keys->resize(size);  // at most one unit per byte
  uint64_t* out = keys->data();
  for (std::size_t pos = 0; pos < size;) {
    const std::size_t start = pos;
    pos = StepUnit(text, pos, encoding);
    *out++ = UnitKeyAt(text, start, pos - start);
  }
  keys->resize(static_cast<std::size_t>(out - keys->data()));
}

void SortedKeys(std::string_view text, TextEncoding encoding, std::vector<uint64_t>* keys) {
  UnitKeys(text, encoding, keys);
  std::sort(keys->begin(), keys->end());
}

double SimilarityOfKeys(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
  if (a.empty() && b.empty()) return 1.0;
  std::size_t i = 0, j = 0, common = 0;
  while (i < a.size() && j < b.size()) {
    const uint64_t x = a[i], y = b[j];
    common += x == y;
    i += x <= y;
    j += y <= x;
  }
  return 2.0 * static_cast<double>(common) / static_cast<double>(a.size() + b.size());
}

}  // namespace verko
