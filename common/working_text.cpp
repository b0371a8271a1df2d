#include "common/working_text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>
#include <utility>

#include "common/code_tables.h"
#include "common/cp932.h"
#include "common/encoding.h"
#include "common/text_fold.h"
#include "common/utf8.h"

namespace verko {
namespace {

// Appends to a string through a pointer into room made ahead, growing it only when a write
// might not fit: whole files go through here, and a byte at a time through push_back costs
// a call and a check for every byte.
class Appender {
 public:
  // Writes after what `out` holds, with room for `expected` bytes more.
  Appender(std::string* out, std::size_t expected) : out_(out) {
    const std::size_t used = out_->size();
    out_->resize(used + expected);
    at_ = out_->data() + used;
    end_ = out_->data() + out_->size();
  }
  // Writes over `buffer` from its start, growing it when needed but never shrinking it:
  // room that is already there is not filled with zeros again.
  struct Over {};
  Appender(std::string* buffer, std::size_t expected, Over) : out_(buffer) {
    if (out_->size() < expected) out_->resize(expected);
    at_ = out_->data();
    end_ = out_->data() + out_->size();
  }
  // The bytes written so far.
  std::size_t Written() const { return static_cast<std::size_t>(at_ - out_->data()); }
  // Where the next `n` bytes go; Advance(n) once they are written.
  char* Room(std::size_t n) {
    if (static_cast<std::size_t>(end_ - at_) < n) Grow(n);
    return at_;
  }
  void Advance(std::size_t n) { at_ += n; }
  void Put(char c) {
    *Room(1) = c;
    ++at_;
  }
  void Append(std::string_view bytes) {
    if (bytes.empty()) return;
    std::memcpy(Room(bytes.size()), bytes.data(), bytes.size());
    at_ += bytes.size();
  }
  // Cuts the string to what was written.
  void Finish() { out_->resize(static_cast<std::size_t>(at_ - out_->data())); }

 private:
  void Grow(std::size_t n) {
    const std::size_t used = static_cast<std::size_t>(at_ - out_->data());
    const std::size_t want = used + n;
    // The memory doubles, but only a little more than asked is filled (with zeros): room
    // asked for near the end of a long text does not fill megabytes.
    if (want > out_->capacity()) out_->reserve(std::max(want, out_->capacity() * 2));
    out_->resize(std::min(out_->capacity(), want + 4096));
    at_ = out_->data() + used;
    end_ = out_->data() + out_->size();
  }

  std::string* out_;
  char* at_;
  char* end_;
};

// Whether the sixteen bytes at `p` are all ASCII: runs of them are copied as they are.
bool IsAscii16(const char* p) {
  std::uint64_t low, high;
  std::memcpy(&low, p, 8);
  std::memcpy(&high, p + 8, 8);
  return ((low | high) & 0x8080808080808080u) == 0;
}

// Copies the run of whole sixteen-byte pieces of ASCII at `pos`; returns where it ends.
std::size_t CopyAsciiRun(std::string_view bytes, std::size_t pos, Appender& out) {
  while (pos + 16 <= bytes.size() && IsAscii16(bytes.data() + pos)) {
    std::memcpy(out.Room(16), bytes.data() + pos, 16);
    out.Advance(16);
    pos += 16;
  }
  return pos;
}

// Appends a working code: two bytes, or one for a single-byte code (half-width katakana,
// ASCII).
void PutCode(uint16_t code, Appender& out) {
  char* to = out.Room(2);
  if (code > 0xFF) {
    to[0] = static_cast<char>(code >> 8);
    to[1] = static_cast<char>(code & 0xFF);
    out.Advance(2);
  } else {
    to[0] = static_cast<char>(code);
    out.Advance(1);
  }
}

// Four bytes as one number, the first lowest.
uint32_t LoadLittleEndian32(const unsigned char* p) {
  uint32_t value;
  std::memcpy(&value, p, sizeof value);
  if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap32(value);
  return value;
}

// Writes four bytes, the lowest first.
void StoreLittleEndian32(uint32_t value, char* p) {
  if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap32(value);
  std::memcpy(p, &value, sizeof value);
}

// The runs below go through their text in blocks, with room for a whole block's output made
// once: a check per character would cost about as much as the character itself.
constexpr std::size_t kRunBlock = 96;

// Decodes the run of well-formed three-byte UTF-8 characters at `pos` that CP932 holds
// (kana, kanji, full-width forms) into their codes; returns where the run ends. Anything
// else (and a character in the last three bytes) is left to the general decoder.
std::size_t DecodeKanaAndKanjiRun(std::string_view bytes, std::size_t pos,
                                  std::span<const uint16_t> toCp932, Appender& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  // Four bytes are read at each character.
  while (pos + 4 <= bytes.size()) {
    const std::size_t blockEnd = std::min(bytes.size() - 3, pos + kRunBlock);
    char* const start = out.Room(2 * (blockEnd - pos) / 3 + 2);
    char* to = start;
    bool stopped = false;
    while (pos < blockEnd) {
      const uint32_t sequence = LoadLittleEndian32(in + pos);
      // 1110xxxx 10xxxxxx 10xxxxxx, not overlong; a surrogate has no code in the table.
      const uint32_t cp =
          (sequence & 0x0F) << 12 | (sequence >> 8 & 0x3F) << 6 | (sequence >> 16 & 0x3F);
      const uint16_t code = (sequence & 0xC0C0F0) == 0x8080E0 && cp >= 0x800 ? toCp932[cp] : 0;
      if (code == 0) {
        stopped = true;
        break;
      }
      if (code > 0xFF) {
        to[0] = static_cast<char>(code >> 8);
        to[1] = static_cast<char>(code & 0xFF);
        to += 2;
      } else {
        *to++ = static_cast<char>(code);
      }
      pos += 3;
    }
    out.Advance(static_cast<std::size_t>(to - start));
    if (stopped) break;
  }
  return pos;
}

// Decodes the run of two-byte EUC-JP characters at `pos` that CP932 holds into their codes;
// returns where the run ends. Anything else is left to the general decoder.
std::size_t DecodeEucJpRun(std::string_view bytes, std::size_t pos,
                           std::span<const uint16_t> toCp932, Appender& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  while (pos + 1 < bytes.size()) {
    const std::size_t blockEnd = std::min(bytes.size() - 1, pos + kRunBlock);
    char* const start = out.Room(blockEnd - pos + 2);
    char* to = start;
    bool stopped = false;
    while (pos < blockEnd) {
      const unsigned b1 = in[pos], b2 = in[pos + 1];
      const uint16_t code = b1 >= 0xA1 && b1 != 0xFF && b2 >= 0xA1 && b2 != 0xFF
                                ? toCp932[b1 << 8 | b2]
                                : uint16_t{0};
      if (code == 0) {
        stopped = true;
        break;
      }
      to[0] = static_cast<char>(code >> 8);  // CP932 holds every such character in two bytes
      to[1] = static_cast<char>(code & 0xFF);
      to += 2;
      pos += 2;
    }
    out.Advance(static_cast<std::size_t>(to - start));
    if (stopped) break;
  }
  return pos;
}

// Encodes the run of non-ASCII CP932 characters at `pos` from a table of their bytes in
// the report's encoding (UTF-8, EUC-JP); returns where it ends: at ASCII, or at a code that
// stands for something else (beyond CP932, an invalid byte), which is one CP932 leaves
// unassigned and so 0 in the table.
std::size_t EncodeRunByTable(std::string_view working, std::size_t pos,
                             std::span<const uint32_t> byTable, Appender& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(working.data());
  const std::size_t size = working.size();
  while (pos < size) {
    // A byte gives at most three of UTF-8 (a half-width katakana); the block's last
    // character may reach one byte past it.
    const std::size_t blockEnd = std::min(size, pos + kRunBlock);
    // Each character's bytes go out as four at once, the fourth overwritten by the next
    // character or left beyond the end: one more byte of room for the last.
    char* const start = out.Room(3 * (blockEnd - pos + 1) + 1);
    char* to = start;
    bool stopped = false;
    while (pos < blockEnd) {
      // The table answers for two bytes at once, whatever the length of the character.
      const unsigned b = in[pos];
      const uint32_t bytes = b < 0x80 ? 0 : byTable[pos + 1 < size ? b << 8 | in[pos + 1] : b];
      if (bytes == 0) {
        stopped = true;
        break;
      }
      StoreLittleEndian32(bytes, to);
      to += bytes >> 24 & 3;
      pos += 2 - (bytes >> 31);
    }
    out.Advance(static_cast<std::size_t>(to - start));
    if (stopped) break;
  }
  return pos;
}

}  // namespace

WorkingText::WorkingText(bool decodeAll) : decodeAll_(decodeAll) {}

namespace {

// The lowest code from `code` on that CP932 leaves unassigned, outside the rows of kana,
// symbols and letters (whose ranges the separators and the letter folding look at); 0 when
// there is none.
uint16_t FirstUnassignedCode(uint32_t code) {
  const std::span<const uint16_t> toUnicode = Cp932Codes().toUnicode;
  for (code = std::max<uint32_t>(code, 0x8540); code <= 0xFCFC; ++code) {
    const unsigned trail = code & 0xFF;
    if (IsLeadByte(static_cast<unsigned char>(code >> 8)) && trail >= 0x40 && trail <= 0xFC &&
        trail != 0x7F && toUnicode[code] == 0) {
      return static_cast<uint16_t>(code);
    }
  }
  return 0;
}

}  // namespace

bool WorkingText::CodeOf(uint32_t key, uint16_t* found) {
  uint16_t code;
  if (auto known = codeOfKey_.find(key); known != codeOfKey_.end()) {
    code = known->second;
  } else {
    code = FirstUnassignedCode(nextFreeCode_);
    if (code == 0) return false;
    nextFreeCode_ = code + 1u;
    codeOfKey_.emplace(key, code);
    keyOfCode_.emplace_back(code, key);
  }
  *found = code;
  return true;
}

std::vector<std::pair<uint16_t, uint16_t>> WorkingText::TwinCodes() const {
  std::vector<std::pair<uint16_t, uint16_t>> twins;
  for (const auto& [code, key] : keyOfCode_) {
    if (const uint16_t twin = key < kRawByte ? TwinCodeOf(key) : 0; twin != 0) {
      twins.emplace_back(code, twin);
    }
  }
  return twins;
}

uint32_t WorkingText::KeyOf(unsigned code) const {
  if (keyOfCode_.empty() || code < keyOfCode_.front().first) return 0;
  const auto given = std::lower_bound(
      keyOfCode_.begin(), keyOfCode_.end(), code,
      [](const std::pair<uint16_t, uint32_t>& entry, unsigned c) { return entry.first < c; });
  return given != keyOfCode_.end() && given->first == code ? given->second : 0;
}

bool WorkingText::FromFile(std::string_view bytes, TextEncoding encoding, std::string* out,
                           int* invalidLines) {
  out->clear();
  *invalidLines = 0;
  if (!decodeAll_) {
    *invalidLines = CountInvalidLines(bytes, encoding);
    out->assign(bytes);
    return true;
  }
  FileDecoder decoder(*this, encoding, out);
  const bool held = decoder.Add(bytes) && decoder.Finish();
  *invalidLines = decoder.InvalidLines();
  return held;
}

WorkingText::FileDecoder::FileDecoder(WorkingText& working, TextEncoding encoding, std::string* out)
    : working_(&working), encoding_(encoding), out_(out) {
  out_->clear();
}

bool WorkingText::FileDecoder::Add(std::string_view piece) {
  if (carry_.empty()) return Decode(piece, false);
  carry_.append(piece);
  const std::string bytes = std::exchange(carry_, std::string());
  return Decode(bytes, false);
}

bool WorkingText::FileDecoder::Finish() {
  const std::string bytes = std::exchange(carry_, std::string());
  return Decode(bytes, true);
}

bool WorkingText::FileDecoder::Decode(std::string_view bytes, bool last) {
  if (!started_) {
    // The byte order mark needs its three bytes together.
    if (!last && bytes.size() < kUtf8Bom.size()) {
      carry_.assign(bytes);
      return true;
    }
    started_ = true;
    if (encoding_ == TextEncoding::kUtf8 && HasUtf8Bom(bytes)) {
      bytes.remove_prefix(kUtf8Bom.size());
    }
  }
  // Only an invalid byte grows (to a double-byte code); every character takes at most the
  // bytes it had.
  Appender appender(out_, bytes.size() + 16);
  const std::span<const uint16_t> toCp932 = Cp932Codes().fromUnicode;
  uint32_t cp = 0;
  bool held = true;
  for (std::size_t pos = 0; pos < bytes.size();) {
    // Within a line that is still valid, a line end in a run of ASCII changes nothing.
    if (!lineInvalid_ && (pos = CopyAsciiRun(bytes, pos, appender)) == bytes.size()) break;
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) {
      if (b == '\r' || b == '\n') lineInvalid_ = false;
      appender.Put(static_cast<char>(b));
      ++pos;
      continue;
    }
    // A character the piece may cut (none is longer than four bytes) waits for the next.
    if (!last && bytes.size() - pos < 4) {
      carry_.assign(bytes.substr(pos));
      break;
    }
    // After a run, the byte where it stopped goes the general way (or round again).
    if (encoding_ != TextEncoding::kCp932) {
      const std::size_t stop = encoding_ == TextEncoding::kUtf8
                                   ? DecodeKanaAndKanjiRun(bytes, pos, toCp932, appender)
                                   : DecodeEucJpRun(bytes, pos, EucJpCodes().toCp932, appender);
      if (stop != pos) {
        pos = stop;
        continue;
      }
    }
    uint16_t code = 0;
    const std::size_t len = DecodeCharacter(bytes, pos, encoding_, &cp);
    if (len == 0) {
      if (!lineInvalid_) ++invalidLines_;
      lineInvalid_ = true;
      // Each byte of the invalid sequence is kept as itself, the last one below.
      for (std::size_t n = InvalidSequenceLength(bytes, pos, encoding_); n > 1 && held; --n) {
        held = working_->CodeOf(kRawByte + static_cast<unsigned char>(bytes[pos++]), &code);
        if (held) PutCode(code, appender);
      }
      if (held) held = working_->CodeOf(kRawByte + static_cast<unsigned char>(bytes[pos]), &code);
      ++pos;
    } else {
      pos += len;
      code = cp < 0x10000 ? toCp932[cp] : 0;
      if (code == 0) held = working_->CodeOf(cp, &code);
    }
    if (!held) break;
    PutCode(code, appender);
  }
  appender.Finish();
  return held;
}

std::string WorkingText::FromUtf8(std::string_view utf8) {
  // In a CP932 run what CP932 cannot hold cannot occur in the files either.
  if (!decodeAll_) return ToCp932(utf8);
  std::string out;
  int invalid = 0;
  if (!FromFile(utf8, TextEncoding::kUtf8, &out, &invalid)) return ToCp932(utf8);
  return out;
}

bool WorkingText::ToEncoding(std::string_view working, TextEncoding encoding, std::string* out,
                             std::size_t* failedAt) const {
  out->clear();
  if (!decodeAll_ && encoding == TextEncoding::kCp932) {
    out->assign(working);
    return true;
  }
  // A double-byte character takes three bytes of UTF-8; more only for half-width kana.
  Appender appender(out, working.size() + working.size() / 2 + 16);
  const bool held = Encode(working, encoding, appender, failedAt);
  appender.Finish();
  return held;
}

std::optional<std::size_t> WorkingText::ToEncodingOver(std::string_view working,
                                                       TextEncoding encoding, std::string* buffer,
                                                       std::size_t* failedAt) const {
  Appender appender(buffer, working.size() + working.size() / 2 + 16, Appender::Over{});
  if (!decodeAll_ && encoding == TextEncoding::kCp932) {
    appender.Append(working);
    return appender.Written();
  }
  if (!Encode(working, encoding, appender, failedAt)) return std::nullopt;
  return appender.Written();
}

template <typename Out>
bool WorkingText::Encode(std::string_view working, TextEncoding encoding, Out& appender,
                         std::size_t* failedAt) const {
  const std::span<const uint16_t> toUnicode = Cp932Codes().toUnicode;
  std::string encoded;  // one character in an encoding other than UTF-8
  // Appends a code point in the report's encoding; false when it cannot hold it.
  auto put = [&](uint32_t cp) {
    if (encoding == TextEncoding::kUtf8) {
      appender.Advance(PutUtf8(cp, appender.Room(4)));
      return true;
    }
    encoded.clear();
    if (!EncodeCharacter(cp, encoding, &encoded)) {
      // A wave-dash twin is written as the form the encoding holds (U+301C as 〜 0x8160).
      const uint16_t twin = TwinCodeOf(cp);
      if (twin == 0 || !EncodeCharacter(toUnicode[twin], encoding, &encoded)) return false;
    }
    appender.Append(encoded);
    return true;
  };
  // Into UTF-8 and EUC-JP, a CP932 character's bytes come from a table; only characters
  // that stand for something else (beyond CP932, an invalid byte) take the general way.
  const std::span<const uint32_t> byTable = encoding == TextEncoding::kUtf8 ? Cp932Codes().toUtf8
                                            : encoding == TextEncoding::kEucJp
                                                ? EucJpCodes().fromCp932
                                                : std::span<const uint32_t>();
  for (std::size_t pos = 0; pos < working.size();) {
    if ((pos = CopyAsciiRun(working, pos, appender)) == working.size()) break;
    const auto b = static_cast<unsigned char>(working[pos]);
    if (b < 0x80) {
      appender.Put(static_cast<char>(b));
      ++pos;
      continue;
    }
    if (!byTable.empty()) {
      const std::size_t stop = EncodeRunByTable(working, pos, byTable, appender);
      if (stop != pos) {
        pos = stop;
        continue;
      }
    }
    const std::size_t len = CharLengthAt(working, pos);
    const unsigned code = len == 2 ? (b << 8) | static_cast<unsigned char>(working[pos + 1]) : b;
    const uint32_t key = KeyOf(code);
    bool held = true;
    if (key >= kRawByte) {
      appender.Put(static_cast<char>(key - kRawByte));
    } else if (key != 0) {
      held = put(key);
    } else if (toUnicode[code] == 0 || encoding == TextEncoding::kCp932) {
      appender.Append(working.substr(pos, len));  // as it is, or not valid in its CP932 file
    } else {
      held = put(toUnicode[code]);
    }
    if (!held) {
      *failedAt = pos;
      return false;
    }
    pos += len;
  }
  return true;
}

}  // namespace verko
