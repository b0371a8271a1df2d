#include "report/change_units.h"

#include <algorithm>
#include <array>

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
// no valid character, so that every byte belongs to exactly one unit.
std::size_t CharacterLength(std::string_view text, std::size_t pos, TextEncoding encoding) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  const std::size_t left = text.size() - pos;
  auto trail = [&](std::size_t i, unsigned char low, unsigned char high) {
    return i < left && InRange(static_cast<unsigned char>(text[pos + i]), low, high);
  };
  switch (encoding) {
    case TextEncoding::kCp932:
      if ((InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC)) && left >= 2) return 2;
      return 1;
    case TextEncoding::kUtf8: {
      const std::size_t length = InRange(byte, 0xC2, 0xDF)   ? 2
                                 : InRange(byte, 0xE0, 0xEF) ? 3
                                 : InRange(byte, 0xF0, 0xF4) ? 4
                                                             : 1;
      for (std::size_t i = 1; i < length; ++i) {
        if (!trail(i, 0x80, 0xBF)) return 1;
      }
      return length;
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

bool IsCp932Lead(unsigned char byte) {
  return InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC);
}

// The end of the unit that starts at `pos` (< text.size()).
std::size_t UnitEnd(std::string_view text, std::size_t pos, TextEncoding encoding) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  if (byte >= 0x80) return pos + CharacterLength(text, pos, encoding);
  ++pos;
  if (IsWordByte(byte)) {
    while (pos < text.size() && IsWordByte(static_cast<unsigned char>(text[pos]))) ++pos;
  }
  return pos;
}

}  // namespace

void AppendUnits(std::string_view text, std::size_t from, std::size_t to, TextEncoding encoding,
                 Bounds* bounds) {
  bounds->reserve(bounds->size() + (to - from) + 2);  // at most one unit per byte, and ends
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t pos = from;
  while (pos < to) {
    bounds->push_back(static_cast<uint32_t>(pos));
    const unsigned char byte = bytes[pos];
    if (byte < 0x80) {
      ++pos;
      if (IsWordByte(byte)) {
        while (pos < to && IsWordByte(bytes[pos])) ++pos;
      }
    } else if (encoding == TextEncoding::kCp932) {
      pos += IsCp932Lead(byte) && pos + 1 < text.size() ? 2 : 1;
    } else {
      pos += CharacterLength(text, pos, encoding);
    }
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
      // go in pairs, so an even run of possible lead bytes ends on a boundary.
      std::size_t run = 0;
      while (run < q && IsCp932Lead(bytes[q - 1 - run])) ++run;
      return run % 2 == 0;
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

}  // namespace

std::size_t UnitStart(std::string_view text, std::size_t q, TextEncoding encoding) {
  while (q > 0 && !IsCharacterStart(text, q, encoding)) --q;
  auto wordAt = [&](std::size_t k) {
    const auto byte = static_cast<unsigned char>(text[k]);
    return byte < 0x80 && IsWordByte(byte);
  };
  if (!wordAt(q)) return q;
  while (q > 0 && wordAt(q - 1) && IsCharacterStart(text, q - 1, encoding)) --q;
  return q;
}

std::size_t NextBoundary(std::string_view text, std::size_t q, TextEncoding encoding) {
  if (q >= text.size()) return text.size();
  const std::size_t start = UnitStart(text, q, encoding);
  return start == q ? q : UnitEnd(text, start, encoding);
}

// Split and keyed in one pass, as AppendUnits splits.
void SortedKeys(std::string_view text, TextEncoding encoding, std::vector<uint64_t>* keys) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  keys->resize(size);  // at most one unit per byte
  uint64_t* out = keys->data();
  std::size_t pos = 0;
  while (pos < size) {
    const std::size_t start = pos;
    const unsigned char byte = bytes[pos];
    if (byte < 0x80) {
      ++pos;
      if (IsWordByte(byte)) {
        while (pos < size && IsWordByte(bytes[pos])) ++pos;
      }
    } else if (encoding == TextEncoding::kCp932) {
      pos += IsCp932Lead(byte) && pos + 1 < size ? 2 : 1;
    } else {
      pos += CharacterLength(text, pos, encoding);
    }
    *out++ = UnitKeyAt(text, start, pos - start);
  }
  keys->resize(static_cast<std::size_t>(out - keys->data()));
  std::sort(keys->begin(), keys->end());
}

}  // namespace verko
