#include "common/text_encoding.h"

#include <cctype>

#include "common/code_tables.h"
#include "common/cp932.h"
#include "common/utf8.h"

namespace verko {
namespace {

std::size_t DecodeUtf8(std::string_view bytes, std::size_t pos, uint32_t* cp) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + pos;
  const std::size_t left = bytes.size() - pos;
  const unsigned b = p[0];
  if (b < 0x80) {
    *cp = b;
    return 1;
  }
  std::size_t len;
  uint32_t value;
  uint32_t min;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2, value = b & 0x1F, min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3, value = b & 0x0F, min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4, value = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (left < len) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    value = (value << 6) | (p[i] & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return len;
}

std::size_t DecodeCp932(std::string_view bytes, std::size_t pos, uint32_t* cp) {
  const auto b = static_cast<unsigned char>(bytes[pos]);
  if (b < 0x80) {
    *cp = b;
    return 1;
  }
  const Cp932Table& table = Cp932Codes();
  if (IsLeadByte(b)) {
    if (pos + 1 >= bytes.size()) return 0;
    const uint16_t u = table.toUnicode[(b << 8) | static_cast<unsigned char>(bytes[pos + 1])];
    if (u == 0) return 0;
    *cp = u;
    return 2;
  }
  if (table.toUnicode[b] == 0) return 0;
  *cp = table.toUnicode[b];
  return 1;
}

std::size_t DecodeEucJp(std::string_view bytes, std::size_t pos, uint32_t* cp) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + pos;
  const std::size_t left = bytes.size() - pos;
  const unsigned b = p[0];
  if (b < 0x80) {
    *cp = b;
    return 1;
  }
  auto inRow = [](unsigned c) { return c >= 0xA1 && c <= 0xFE; };
  if (b == 0x8E) {
    if (left < 2 || p[1] < 0xA1 || p[1] > 0xDF) return 0;
    *cp = 0xFF61 + (p[1] - 0xA1);
    return 2;
  }
  const EucJpTable& table = EucJpCodes();
  if (b == 0x8F) {
    if (left < 3 || !inRow(p[1]) || !inRow(p[2])) return 0;
    const uint32_t u = table.toUnicode[0x10000 + ((p[1] << 8) | p[2])];
    if (u == 0) return 0;
    *cp = u;
    return 3;
  }
  if (!inRow(b) || left < 2 || !inRow(p[1])) return 0;
  const uint32_t u = table.toUnicode[(b << 8) | p[1]];
  if (u == 0) return 0;
  *cp = u;
  return 2;
}

// Whether the content is valid in the encoding; counts what CP932 eyes see on the way.
struct Reading {
  bool valid = true;
  bool nonAscii = false;
  int halfWidthKana = 0;
  int doubleByte = 0;
};

Reading Read(std::string_view bytes, TextEncoding encoding) {
  Reading reading;
  uint32_t cp = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    reading.nonAscii = true;
    const std::size_t len = DecodeCharacter(bytes, pos, encoding, &cp);
    if (len == 0) {
      reading.valid = false;
      return reading;
    }
    if (encoding == TextEncoding::kCp932) ++(len == 2 ? reading.doubleByte : reading.halfWidthKana);
    pos += len;
  }
  return reading;
}

}  // namespace

bool ParseEncodingName(std::string_view name, EncodingChoice* choice) {
  std::string key;
  for (char c : name) {
    if (c == '-' || c == '_') continue;
    key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  if (key == "cp932" || key == "shiftjis" || key == "sjis") {
    *choice = EncodingChoice::kCp932;
  } else if (key == "utf8") {
    *choice = EncodingChoice::kUtf8;
  } else if (key == "eucjp") {
    *choice = EncodingChoice::kEucJp;
  } else if (key == "auto") {
    *choice = EncodingChoice::kAuto;
  } else {
    return false;
  }
  return true;
}

const char* EncodingChoiceName(EncodingChoice choice) {
  switch (choice) {
    case EncodingChoice::kUtf8:
      return "utf-8";
    case EncodingChoice::kEucJp:
      return "euc-jp";
    case EncodingChoice::kAuto:
      return "auto";
    case EncodingChoice::kCp932:
      break;
  }
  return "cp932";
}

const char* EncodingChoiceCaption(EncodingChoice choice) {
  switch (choice) {
    case EncodingChoice::kUtf8:
      return "UTF-8";
    case EncodingChoice::kEucJp:
      return "EUC-JP";
    case EncodingChoice::kAuto:
      return "自動判別";
    case EncodingChoice::kCp932:
      break;
  }
  return "CP932 (Shift_JIS)";
}

const char* EncodingCaption(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return "UTF-8";
    case TextEncoding::kEucJp:
      return "EUC-JP";
    case TextEncoding::kCp932:
      break;
  }
  return "CP932";
}

TextEncoding DetectEncoding(std::string_view bytes) {
  if (HasUtf8Bom(bytes)) return TextEncoding::kUtf8;
  const Reading utf8 = Read(bytes, TextEncoding::kUtf8);
  if (!utf8.nonAscii) return TextEncoding::kCp932;
  if (utf8.valid) return TextEncoding::kUtf8;
  const Reading cp932 = Read(bytes, TextEncoding::kCp932);
  const Reading eucJp = Read(bytes, TextEncoding::kEucJp);
  if (!eucJp.valid) return TextEncoding::kCp932;
  if (!cp932.valid || cp932.halfWidthKana > cp932.doubleByte) return TextEncoding::kEucJp;
  return TextEncoding::kCp932;
}

std::size_t DecodeCharacter(std::string_view bytes, std::size_t pos, TextEncoding encoding,
                            uint32_t* codePoint) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return DecodeUtf8(bytes, pos, codePoint);
    case TextEncoding::kEucJp:
      return DecodeEucJp(bytes, pos, codePoint);
    case TextEncoding::kCp932:
      break;
  }
  return DecodeCp932(bytes, pos, codePoint);
}

bool EncodeCharacter(uint32_t cp, TextEncoding encoding, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
    return true;
  }
  if (encoding == TextEncoding::kUtf8) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    AppendUtf8(cp, out);
    return true;
  }
  if (cp >= 0x10000) return false;
  if (encoding == TextEncoding::kCp932) {
    const uint16_t code = Cp932Codes().fromUnicode[cp];
    if (code == 0) return false;
    if (code > 0xFF) out->push_back(static_cast<char>(code >> 8));
    out->push_back(static_cast<char>(code & 0xFF));
    return true;
  }
  const uint32_t code = EucJpCodes().fromUnicode[cp];
  if (code == 0) return false;
  if (code > 0xFFFF) out->push_back(static_cast<char>(code >> 16));
  out->push_back(static_cast<char>((code >> 8) & 0xFF));
  out->push_back(static_cast<char>(code & 0xFF));
  return true;
}

int CountInvalidLines(std::string_view bytes, TextEncoding encoding) {
  int lines = 0;
  uint32_t cp = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t len = DecodeCharacter(bytes, pos, encoding, &cp);
    if (len != 0) {
      pos += len;
      continue;
    }
    // Count the line once and go on after its end.
    ++lines;
    const std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) break;
    pos = end;
  }
  return lines;
}

std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::kUtf8 && HasUtf8Bom(bytes)) bytes.remove_prefix(kUtf8Bom.size());
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  uint32_t cp = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t len = DecodeCharacter(bytes, pos, encoding, &cp);
    if (len == 0) {
      AppendUtf8(0xFFFD, &out);
      ++pos;
    } else {
      AppendUtf8(cp, &out);
      pos += len;
    }
  }
  return out;
}

bool EncodeFromUtf8(std::string_view utf8, TextEncoding encoding, std::string* out) {
  out->clear();
  uint32_t cp = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t len = DecodeUtf8(utf8, pos, &cp);
    if (len == 0 || !EncodeCharacter(cp, encoding, out)) return false;
    pos += len;
  }
  return true;
}

}  // namespace verko
