// Build tool: writes the character tables of CP932 and EUC-JP as constant arrays of C++
// source, taken from iconv: code page 932 as iconv's "CP932" (the Windows table, so 〜, －,
// ∥, ￠, ￡, ￢ and the NEC and IBM extensions round-trip) and EUC-JP as iconv's
// "EUC-JP-MS", whose table agrees with CP932's. The program then finds its tables ready in
// its own read-only data: a run that decodes builds nothing and touches only the pages of
// the characters it meets.
// Usage: make_code_tables OUTPUT.cpp. The file is written under a temporary name and
// renamed into place, so a failed build never leaves half a table.
#include <iconv.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/utf8.h"

namespace {

struct Cp932Tables {
  std::vector<uint16_t> toUnicode;
  std::vector<uint16_t> fromUnicode;
  std::vector<uint32_t> toUtf8;
};

struct EucJpTables {
  std::vector<uint32_t> toUnicode;
  std::vector<uint32_t> fromUnicode;
  std::vector<uint16_t> toCp932;
  std::vector<uint32_t> fromCp932;
};

// One converter of iconv, closed with its owner.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in` whole; the output, or empty when iconv refuses any of it.
  std::string Convert(const std::string& in) {
    std::string out;
    if (!ok()) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[16];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) {
      return out;
    }
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return out;
    return out.assign(buffer, dst - buffer);
  }

 private:
  iconv_t cd_;
};

// The code point of the UCS-4 big-endian text, when it is exactly one character; else 0.
uint32_t SingleCodePoint(const std::string& ucs4) {
  if (ucs4.size() != 4) return 0;
  uint32_t cp = 0;
  for (char c : ucs4) cp = (cp << 8) | static_cast<unsigned char>(c);
  return cp;
}

std::string Ucs4(uint32_t cp) {
  return {static_cast<char>(cp >> 24), static_cast<char>(cp >> 16), static_cast<char>(cp >> 8),
          static_cast<char>(cp)};
}

// The code iconv writes for a code point, packed first byte highest; 0 when it writes none.
uint32_t PackedCode(Converter& encode, uint32_t cp) {
  std::string bytes = encode.Convert(Ucs4(cp));
  if (bytes.empty() || bytes.size() > 3) return 0;
  uint32_t code = 0;
  for (char c : bytes) code = (code << 8) | static_cast<unsigned char>(c);
  return code;
}

// Decodes the 188 double-byte codes of one lead byte in as few iconv calls as there are
// invalid codes, each valid code giving one code point.
void DecodeCp932Row(iconv_t cd, unsigned lead, std::vector<uint16_t>& toUnicode) {
  std::vector<unsigned> trails;
  std::string codes;
  for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
    if (trail == 0x7F) continue;
    trails.push_back(trail);
    codes.push_back(static_cast<char>(lead));
    codes.push_back(static_cast<char>(trail));
  }
  std::string out(trails.size() * 4, '\0');
  std::size_t done = 0;  // codes handled so far
  while (done < trails.size()) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = codes.data() + done * 2;
    size_t srcLeft = codes.size() - done * 2;
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const std::size_t converted = (codes.size() - done * 2 - srcLeft) / 2;
    if (static_cast<std::size_t>(dst - out.data()) != converted * 4) return;  // not one each
    for (std::size_t i = 0; i < converted; ++i) {
      const uint32_t cp = SingleCodePoint(out.substr(i * 4, 4));
      if (cp < 0x10000) toUnicode[(lead << 8) | trails[done + i]] = static_cast<uint16_t>(cp);
    }
    done += converted;
    if (rc != static_cast<size_t>(-1)) break;
    ++done;  // the code iconv refused is no character
  }
}

// In a table of the bytes of each CP932 code's character (first byte lowest, their count
// in bits 24 and 25; 0 = none), single-byte characters are marked by bit 31, and the rows of the
// half-width katakana repeat theirs: the table can then be read at any two bytes of text
// that start with a character beyond ASCII, without first asking how long it is.
void MarkSingleBytes(std::vector<uint32_t>& table) {
  for (uint32_t b = 0; b < 0x100; ++b) {
    if (table[b] != 0) table[b] |= 1u << 31;
  }
  for (uint32_t b = 0xA1; b <= 0xDF; ++b) {
    for (uint32_t trail = 0; trail < 0x100; ++trail) table[b << 8 | trail] = table[b];
  }
}

// The table of the bytes in another encoding of each CP932 code's character (`toUnicode`
// gives the character, `bytesOf` its bytes, none when the encoding cannot hold it), laid
// out as described at MarkSingleBytes.
template <typename BytesOf>
std::vector<uint32_t> TableOfCodes(const std::vector<uint16_t>& toUnicode, BytesOf bytesOf) {
  std::vector<uint32_t> table(0x10000, 0);
  for (uint32_t code = 0; code < 0x10000; ++code) {
    const uint32_t cp = toUnicode[code];
    if (cp == 0 && code != 0) continue;
    const std::string bytes = bytesOf(cp);
    if (bytes.empty()) continue;
    uint32_t packed = static_cast<uint32_t>(bytes.size()) << 24;
    for (std::size_t k = 0; k < bytes.size(); ++k)
      packed |= uint32_t{static_cast<unsigned char>(bytes[k])} << (8 * k);
    table[code] = packed;
  }
  MarkSingleBytes(table);
  return table;
}

std::string Utf8Of(uint32_t cp) {
  std::string bytes;
  verko::AppendUtf8(cp, &bytes);
  return bytes;
}

Cp932Tables BuildCp932() {
  Cp932Tables table;
  table.toUnicode.assign(0x10000, 0);
  table.fromUnicode.assign(0x10000, 0);
  for (int b = 0; b < 0x80; ++b) table.toUnicode[b] = static_cast<uint16_t>(b);
  for (int b = 0xA1; b <= 0xDF; ++b) table.toUnicode[b] = static_cast<uint16_t>(0xFF61 + b - 0xA1);
  iconv_t decode = iconv_open("UCS-4BE", "CP932");
  if (decode == reinterpret_cast<iconv_t>(-1)) return table;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (verko::IsLeadByte(static_cast<unsigned char>(lead)))
      DecodeCp932Row(decode, lead, table.toUnicode);
  }
  iconv_close(decode);
  // A code point that one code alone decodes to is written as that code; where several
  // codes decode to it (the NEC and IBM extensions), iconv's own choice is the code written.
  std::vector<uint8_t> codesOf(0x10000, 0);
  for (uint32_t code = 0x80; code < 0x10000; ++code) {
    const uint16_t cp = table.toUnicode[code];
    if (cp == 0) continue;
    if (codesOf[cp] < 2) ++codesOf[cp];
    if (table.fromUnicode[cp] == 0) table.fromUnicode[cp] = static_cast<uint16_t>(code);
  }
  Converter encode("CP932", "UCS-4BE");
  for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
    if (codesOf[cp] < 2) continue;
    const uint32_t chosen = PackedCode(encode, cp);
    if (chosen != 0 && chosen < 0x10000 && table.toUnicode[chosen] == cp) {
      table.fromUnicode[cp] = static_cast<uint16_t>(chosen);
    }
  }
  for (int b = 1; b < 0x80; ++b) table.fromUnicode[b] = static_cast<uint16_t>(b);
  table.toUtf8 = TableOfCodes(table.toUnicode, Utf8Of);
  return table;
}

EucJpTables BuildEucJp() {
  EucJpTables table;
  table.toUnicode.assign(0x20000, 0);
  table.fromUnicode.assign(0x10000, 0);
  Converter decode("UCS-4BE", "EUC-JP-MS");
  for (int b1 = 0xA1; b1 <= 0xFE; ++b1) {
    for (int b2 = 0xA1; b2 <= 0xFE; ++b2) {
      const std::string two{static_cast<char>(b1), static_cast<char>(b2)};
      const std::string three = "\x8F" + two;
      table.toUnicode[(b1 << 8) | b2] = SingleCodePoint(decode.Convert(two));
      table.toUnicode[0x10000 + ((b1 << 8) | b2)] = SingleCodePoint(decode.Convert(three));
    }
  }
  Converter encode("EUC-JP-MS", "UCS-4BE");
  for (uint32_t index = 0; index < table.toUnicode.size(); ++index) {
    const uint32_t cp = table.toUnicode[index];
    if (cp == 0 || cp >= 0x10000 || table.fromUnicode[cp] != 0) continue;
    const uint32_t own = index < 0x10000 ? index : (0x8F0000 | (index - 0x10000));
    const uint32_t chosen = PackedCode(encode, cp);
    const uint32_t chosenIndex = chosen > 0xFFFF ? 0x10000 + (chosen & 0xFFFF) : (chosen & 0xFFFF);
    const bool valid = chosen != 0 && (chosen > 0xFFFF ? (chosen >> 16) == 0x8F : chosen > 0xFF) &&
                       table.toUnicode[chosenIndex] == cp;
    table.fromUnicode[cp] = valid ? chosen : own;
  }
  for (uint32_t cp = 0xFF61; cp <= 0xFF9F; ++cp)
    table.fromUnicode[cp] = 0x8E00 | (cp - 0xFF61 + 0xA1);
  for (uint32_t b = 1; b < 0x80; ++b) table.fromUnicode[b] = b;
  return table;
}

// The direct ways between EUC-JP and CP932, through the characters both tables hold: the
// CP932 code of each two-byte EUC-JP code, and the EUC-JP bytes of each CP932 code laid
// out as the table of UTF-8 bytes is.
void AddCp932Ways(const Cp932Tables& cp932, EucJpTables& eucJp) {
  eucJp.toCp932.assign(0x10000, 0);
  for (uint32_t b1 = 0xA1; b1 <= 0xFE; ++b1) {
    for (uint32_t b2 = 0xA1; b2 <= 0xFE; ++b2) {
      const uint32_t cp = eucJp.toUnicode[(b1 << 8) | b2];
      if (cp != 0 && cp < 0x10000) eucJp.toCp932[(b1 << 8) | b2] = cp932.fromUnicode[cp];
    }
  }
  eucJp.fromCp932 = TableOfCodes(cp932.toUnicode, [&eucJp](uint32_t cp) {
    if (cp < 0x80) return std::string(1, static_cast<char>(cp));
    const uint32_t bytes = eucJp.fromUnicode[cp];  // first byte highest; 0: none
    std::string out;
    if (bytes > 0xFFFF) out.push_back(static_cast<char>(bytes >> 16));
    if (bytes != 0) out += {static_cast<char>(bytes >> 8 & 0xFF), static_cast<char>(bytes & 0xFF)};
    return out;
  });
}

// Declares one array with its size.
template <typename T>
bool DeclareArray(std::FILE* out, const char* type, const char* name,
                  const std::vector<T>& values) {
  return std::fprintf(out, "extern const %s %s[%zu];\n", type, name, values.size()) >= 0;
}

// Writes one array, sixteen values to a line; false when the file could not take it.
template <typename T>
bool WriteArray(std::FILE* out, const char* type, const char* name, const std::vector<T>& values) {
  if (std::fprintf(out, "const %s %s[%zu] = {\n", type, name, values.size()) < 0) return false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const uint32_t value = values[i];
    const char* after = i % 16 == 15 || i + 1 == values.size() ? ",\n" : ",";
    const int written = value == 0 ? std::fprintf(out, "0%s", after)
                                   : std::fprintf(out, "0x%" PRIx32 "%s", value, after);
    if (written < 0) return false;
  }
  return std::fprintf(out, "};\n\n") >= 0;
}

// Every array, each through `put` (DeclareArray or WriteArray).
template <typename Put>
bool PutArrays(std::FILE* out, const Cp932Tables& cp932, const EucJpTables& eucJp, Put put) {
  return put(out, "uint16_t", "kCp932ToUnicode", cp932.toUnicode) &&
         put(out, "uint16_t", "kCp932FromUnicode", cp932.fromUnicode) &&
         put(out, "uint32_t", "kCp932ToUtf8", cp932.toUtf8) &&
         put(out, "uint32_t", "kEucJpToUnicode", eucJp.toUnicode) &&
         put(out, "uint32_t", "kEucJpFromUnicode", eucJp.fromUnicode) &&
         put(out, "uint16_t", "kEucJpToCp932", eucJp.toCp932) &&
         put(out, "uint32_t", "kEucJpFromCp932", eucJp.fromCp932);
}

// Writes a file under a temporary name through `write` and renames it into place; false
// (nothing left behind) when it could not.
template <typename Write>
bool WriteInPlace(const std::string& path, Write write) {
  const std::string partial = path + ".part";
  std::FILE* out = std::fopen(partial.c_str(), "w");
  if (out == nullptr) {
    std::perror(partial.c_str());
    return false;
  }
  bool ok = write(out);
  ok = std::fclose(out) == 0 && ok;
  if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
    std::perror(path.c_str());
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_code_tables OUTPUT.cpp OUTPUT.h\n");
    return 2;
  }
  const Cp932Tables cp932 = BuildCp932();
  EucJpTables eucJp = BuildEucJp();
  AddCp932Ways(cp932, eucJp);
  // Without iconv's tables (no gconv modules) the arrays would be empty of characters.
  if (cp932.toUnicode[0x82A0] == 0 || eucJp.toUnicode[0xA4A2] == 0) {
    std::fprintf(stderr, "make_code_tables: iconv cannot convert CP932 and EUC-JP-MS\n");
    return 1;
  }
  constexpr const char* kMadeBy =
      "// Made by make_code_tables from iconv's CP932 and EUC-JP-MS tables.\n";
  // The header declares each array with its size, and the data includes it: the two cannot
  // disagree, and the program checks the sizes it relies on against the header.
  const auto declare = [](std::FILE* out, const char* type, const char* name, const auto& values) {
    return DeclareArray(out, type, name, values);
  };
  const auto define = [](std::FILE* out, const char* type, const char* name, const auto& values) {
    return WriteArray(out, type, name, values);
  };
  const std::string headerName = std::string(argv[2]).substr(std::string(argv[2]).rfind('/') + 1);
  const bool written =
      WriteInPlace(argv[2],
                   [&](std::FILE* out) {
                     return std::fprintf(out,
                                         "%s#pragma once\n\n#include <cstdint>\n\n"
                                         "namespace verko::code_data {\n\n",
                                         kMadeBy) >= 0 &&
                            PutArrays(out, cp932, eucJp, declare) &&
                            std::fprintf(out, "\n}  // namespace verko::code_data\n") >= 0;
                   }) &&
      WriteInPlace(argv[1], [&](std::FILE* out) {
        return std::fprintf(out, "%s#include \"common/%s\"\n\nnamespace verko::code_data {\n\n",
                            kMadeBy, headerName.c_str()) >= 0 &&
               PutArrays(out, cp932, eucJp, define) &&
               std::fprintf(out, "}  // namespace verko::code_data\n") >= 0;
      });
  return written ? 0 : 1;
}
