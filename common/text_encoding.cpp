#include "common/text_encoding.h"

#include <cctype>
#include <span>

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

unsigned Utf16Unit(std::string_view bytes, std::size_t pos, bool bigEndian) {
  const auto first = static_cast<unsigned char>(bytes[pos]);
  const auto second = static_cast<unsigned char>(bytes[pos + 1]);
  return bigEndian ? (first << 8 | second) : (second << 8 | first);
}

std::size_t DecodeUtf16(std::string_view bytes, std::size_t pos, bool bigEndian, uint32_t* cp) {
  if (pos + 1 >= bytes.size()) return 0;
  const unsigned unit = Utf16Unit(bytes, pos, bigEndian);
  if (unit < 0xD800 || unit > 0xDFFF) {
    *cp = unit;
    return 2;
  }
  if (unit > 0xDBFF || pos + 3 >= bytes.size()) return 0;
  const unsigned low = Utf16Unit(bytes, pos + 2, bigEndian);
  if (low < 0xDC00 || low > 0xDFFF) return 0;
  *cp = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
  return 4;
}

// How a content reads in one encoding: its characters beyond ASCII, how many of them are
// the common characters of Japanese text, and the sequences not valid in the encoding.
struct Reading {
  int chars = 0;
  int common = 0;
  int invalid = 0;
  int halfWidthKana = 0;  // CP932: single-byte characters, and 0x8E-led pairs (EUC-JP kana)
  int doubleByte = 0;     // CP932: the other double-byte characters
  int kanaPairs = 0;      // UTF-8: two-byte characters made of half-width katakana bytes
  bool gaveUp = false;    // stopped early: too many invalid sequences to be read so

  bool Valid() const { return !gaveUp && invalid == 0; }
  // Valid, or for UTF-8 valid apart from a few stray bytes: at most four, or one in eight
  // characters, and never more than half as many as the valid characters.
  bool Fits(TextEncoding encoding) const {
    if (gaveUp) return false;
    if (encoding != TextEncoding::kUtf8 || invalid == 0) return invalid == 0;
    return chars >= 2 * invalid && (invalid <= 4 || invalid * 8 <= chars);
  }
};

// Whether the CP932 code of a character is one Japanese text is made of: the symbols, letters
// and kana of both widths, and the kanji of the first level.
// Left out are what EUC-JP text looks like through CP932 eyes: half-width punctuation,
// ｦ and small katakana (its rows of symbols, kana, Greek and Cyrillic lead with 0xA1 to 0xA8),
// and the first-level kanji that lead with 0x8E and trail like half-width katakana (its
// half-width katakana).
bool IsCommonCode(uint16_t code) {
  if (code >= 0xB0 && code <= 0xDF) return true;
  if (code >= 0x8140 && code <= 0x84BE) return true;
  if (code >= 0x889F && code <= 0x9872) {
    return !((code >> 8 == 0x8E && (code & 0xFF) >= 0xA1 && (code & 0xFF) <= 0xDF) ||
             (code >> 8 == 0x8F && (code & 0xFF) >= 0xA1));
  }
  return false;
}

Reading Read(std::string_view bytes, TextEncoding encoding) {
  Reading reading;
  const std::span<const uint16_t> toCp932 = Cp932Codes().fromUnicode;
  uint32_t cp = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t len = DecodeCharacter(bytes, pos, encoding, &cp);
    if (len == 0) {
      ++reading.invalid;
      // Only UTF-8 is read past an invalid byte, and only while it can still fit.
      if (encoding != TextEncoding::kUtf8 ||
          (reading.invalid > 8 && reading.invalid * 4 > reading.chars)) {
        reading.gaveUp = true;
        return reading;
      }
      ++pos;
      continue;
    }
    ++reading.chars;
    if (encoding == TextEncoding::kCp932) {
      const auto lead = static_cast<unsigned char>(bytes[pos]);
      const auto trail = len == 2 ? static_cast<unsigned char>(bytes[pos + 1]) : 0;
      const bool eucKana = lead == 0x8E && trail >= 0xA1 && trail <= 0xDF;
      ++(len == 2 && !eucKana ? reading.doubleByte : reading.halfWidthKana);
      // EUC-JP's three-byte characters (0x8F and two bytes from 0xA1) weigh as three
      // uncommon characters through CP932 eyes.
      if (lead == 0x8F && trail >= 0xA1) reading.chars += 2;
    }
    // Two bytes that CP932 reads as two half-width katakana are what such text looks like
    // through UTF-8 eyes: a character so made counts as uncommon.
    const bool kanaPair = encoding == TextEncoding::kUtf8 && len == 2 &&
                          static_cast<unsigned char>(bytes[pos]) <= 0xDF &&
                          static_cast<unsigned char>(bytes[pos + 1]) >= 0xA1 &&
                          static_cast<unsigned char>(bytes[pos + 1]) <= 0xDF;
    if (kanaPair) ++reading.kanaPairs;
    const uint16_t code =
        kanaPair ? 0
        : encoding == TextEncoding::kCp932
            ? static_cast<uint16_t>(len == 2 ? (static_cast<unsigned char>(bytes[pos]) << 8) |
                                                   static_cast<unsigned char>(bytes[pos + 1])
                                             : static_cast<unsigned char>(bytes[pos]))
            : (cp < toCp932.size() ? toCp932[cp] : 0);
    if (IsCommonCode(code)) ++reading.common;
    pos += len;
  }
  return reading;
}

constexpr TextEncoding kReadOrder[] = {TextEncoding::kCp932, TextEncoding::kUtf8,
                                       TextEncoding::kEucJp};

// The readings of a content in the three encodings, in kReadOrder.
struct Readings {
  Reading by[3];
  bool AllAscii() const { return by[0].chars == 0 && by[0].invalid == 0; }
};

Readings ReadAll(std::string_view bytes) {
  Readings readings;
  readings.by[1] = Read(bytes, TextEncoding::kUtf8);
  readings.by[2] = Read(bytes, TextEncoding::kEucJp);
  // Read as neither UTF-8 nor EUC-JP, the file is CP932 whatever CP932 makes of it: a CP932
  // file (the usual case, whose other readings give up at once) is not read a third time.
  if (!readings.by[1].Fits(TextEncoding::kUtf8) && !readings.by[2].Valid()) {
    readings.by[0].chars = 1;
    return readings;
  }
  readings.by[0] = Read(bytes, TextEncoding::kCp932);
  return readings;
}

// The byte order mark's encoding, if the content starts with one.
bool BomEncoding(std::string_view bytes, TextEncoding* encoding) {
  if (HasUtf8Bom(bytes)) {
    *encoding = TextEncoding::kUtf8;
  } else if (bytes.starts_with("\xFF\xFE")) {
    *encoding = TextEncoding::kUtf16Le;
  } else if (bytes.starts_with("\xFE\xFF")) {
    *encoding = TextEncoding::kUtf16Be;
  } else {
    return false;
  }
  return true;
}

// The encoding in which the contents together read best: among those that fit every one
// of them, the one whose characters are most often common Japanese ones, CP932 first on a
// tie; -1 when none fits them all.
int BestShared(const Readings* const* contents, int count) {
  int best = -1;
  long long bestCommon = 0, bestChars = 1;
  for (int i = 0; i < 3; ++i) {
    long long common = 0, chars = 0;
    bool fits = true;
    for (int c = 0; c < count; ++c) {
      const Reading& r = contents[c]->by[i];
      if (!r.Fits(kReadOrder[i])) fits = false;
      common += r.common;
      chars += r.chars + r.invalid;
    }
    if (!fits) continue;
    if (chars == 0) chars = 1;
    if (best < 0 || common * bestChars > bestCommon * chars) {
      best = i, bestCommon = common, bestChars = chars;
    }
  }
  return best;
}

// One file's encoding: UTF-8 when it is valid UTF-8 and not CP932 half-width katakana
// that happens to be valid UTF-8 (two or more characters each made of two such bytes, and
// nothing else); EUC-JP when it is valid EUC-JP and either not valid CP932 or, read as
// CP932, more half-width katakana than double-byte characters (which is how EUC-JP text
// looks through CP932 eyes) and more often common characters as EUC-JP; UTF-8 too when it
// is valid UTF-8 apart from a few stray bytes and valid in neither other (else the one in
// which it reads best); otherwise CP932.
TextEncoding DetectAlone(const Readings& readings) {
  const Reading& cp932 = readings.by[0];
  const Reading& utf8 = readings.by[1];
  const Reading& eucJp = readings.by[2];
  if (readings.AllAscii()) return TextEncoding::kCp932;
  if (utf8.Valid()) {
    return cp932.Valid() && utf8.kanaPairs == utf8.chars && utf8.chars >= 2 ? TextEncoding::kCp932
                                                                            : TextEncoding::kUtf8;
  }
  // Valid in both: EUC-JP only when it reads better (CP932 before the others).
  const bool eucJpLike =
      eucJp.Valid() && (!cp932.Valid() || (cp932.halfWidthKana > cp932.doubleByte &&
                                           static_cast<long long>(eucJp.common) * cp932.chars >
                                               static_cast<long long>(cp932.common) * eucJp.chars));
  if (utf8.Fits(TextEncoding::kUtf8)) {
    if (!cp932.Valid() && !eucJpLike) return TextEncoding::kUtf8;
    const Readings* one[] = {&readings};
    return kReadOrder[BestShared(one, 1)];
  }
  return eucJpLike ? TextEncoding::kEucJp : TextEncoding::kCp932;
}

int OrderOf(TextEncoding encoding) {
  for (int i = 0; i < 3; ++i) {
    if (kReadOrder[i] == encoding) return i;
  }
  return -1;
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
    case TextEncoding::kUtf16Le:
      return "UTF-16LE";
    case TextEncoding::kUtf16Be:
      return "UTF-16BE";
    case TextEncoding::kCp932:
      break;
  }
  return "CP932";
}

TextEncoding DetectEncoding(std::string_view bytes) {
  TextEncoding encoding;
  if (BomEncoding(bytes, &encoding)) return encoding;
  return DetectAlone(ReadAll(bytes));
}

bool HeadDecidesCp932(std::string_view head) {
  TextEncoding bom;
  if (BomEncoding(head, &bom)) return false;
  const std::size_t lastLineFeed = head.rfind('\n');
  if (lastLineFeed == std::string_view::npos) return false;
  // A reading that gives up within these bytes gives up at the same place in the whole
  // content: no character of either encoding reaches across a line feed, so each is read
  // there as it would be in the whole.
  head = head.substr(0, lastLineFeed + 1);
  return Read(head, TextEncoding::kUtf8).gaveUp && Read(head, TextEncoding::kEucJp).gaveUp;
}

void DetectEncodings(EncodingChoice oldChoice, std::string_view oldBytes, EncodingChoice newChoice,
                     std::string_view newBytes, TextEncoding* oldEncoding,
                     TextEncoding* newEncoding) {
  const bool oldAuto = oldChoice == EncodingChoice::kAuto;
  const bool newAuto = newChoice == EncodingChoice::kAuto;
  *oldEncoding = ResolveEncoding(oldAuto ? EncodingChoice::kCp932 : oldChoice, {});
  *newEncoding = ResolveEncoding(newAuto ? EncodingChoice::kCp932 : newChoice, {});
  if (!oldAuto && !newAuto) return;
  // A byte order mark, or a choice, makes a file's encoding certain.
  TextEncoding bom;
  const bool oldCertain = !oldAuto || BomEncoding(oldBytes, &bom);
  if (oldAuto && oldCertain) *oldEncoding = bom;
  const bool newCertain = !newAuto || BomEncoding(newBytes, &bom);
  if (newAuto && newCertain) *newEncoding = bom;
  if (oldCertain && newCertain) return;
  const Readings oldReadings = oldCertain ? Readings{} : ReadAll(oldBytes);
  const Readings newReadings = newCertain ? Readings{} : ReadAll(newBytes);
  // The file not certain takes the other's encoding when it fits it.
  auto follow = [](const Readings& readings, TextEncoding certain, TextEncoding* encoding) {
    const int order = OrderOf(certain);
    if (order >= 0 && readings.by[order].Fits(certain)) {
      *encoding = certain;
    } else if (certain == TextEncoding::kUtf16Le || certain == TextEncoding::kUtf16Be) {
      // A UTF-16 twin without its mark is beyond guessing; its text read as UTF-8 when
      // it fits is what it most likely is.
      *encoding = readings.by[1].Fits(TextEncoding::kUtf8) && !readings.AllAscii()
                      ? TextEncoding::kUtf8
                      : DetectAlone(readings);
    } else {
      *encoding = DetectAlone(readings);
    }
  };
  if (oldCertain) return follow(newReadings, *oldEncoding, newEncoding);
  if (newCertain) return follow(oldReadings, *newEncoding, oldEncoding);
  // Judged alone first; when the two differ, the encoding of one that the other fits too
  // reads both (CP932 first when each fits the other's).
  *oldEncoding = DetectAlone(oldReadings);
  *newEncoding = DetectAlone(newReadings);
  if (*oldEncoding == *newEncoding) return;
  // A file of ASCII alone reads alike in all of them: the other file decides.
  if (oldReadings.AllAscii()) return void(*oldEncoding = *newEncoding);
  if (newReadings.AllAscii()) return void(*newEncoding = *oldEncoding);
  const int oldOrder = OrderOf(*oldEncoding), newOrder = OrderOf(*newEncoding);
  if (oldOrder < 0 || newOrder < 0) return;
  const bool oldFitsNew = oldReadings.by[newOrder].Fits(*newEncoding);
  const bool newFitsOld = newReadings.by[oldOrder].Fits(*oldEncoding);
  if (oldFitsNew && newFitsOld) {
    if (*newEncoding == TextEncoding::kCp932)
      *oldEncoding = *newEncoding;
    else
      *newEncoding = *oldEncoding;
  } else if (oldFitsNew) {
    *oldEncoding = *newEncoding;
  } else if (newFitsOld) {
    *newEncoding = *oldEncoding;
  }
}

std::size_t DecodeCharacter(std::string_view bytes, std::size_t pos, TextEncoding encoding,
                            uint32_t* codePoint) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return DecodeUtf8(bytes, pos, codePoint);
    case TextEncoding::kEucJp:
      return DecodeEucJp(bytes, pos, codePoint);
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      return DecodeUtf16(bytes, pos, encoding == TextEncoding::kUtf16Be, codePoint);
    case TextEncoding::kCp932:
      break;
  }
  return DecodeCp932(bytes, pos, codePoint);
}

std::string Utf16ToUtf8(std::string_view bytes, TextEncoding encoding) {
  const bool bigEndian = encoding == TextEncoding::kUtf16Be;
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  std::size_t pos =
      bytes.size() >= 2 && (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) ? 2 : 0;
  uint32_t cp = 0;
  while (pos < bytes.size()) {
    const std::size_t len = DecodeUtf16(bytes, pos, bigEndian, &cp);
    if (len != 0) {
      AppendUtf8(cp, &out);
      pos += len;
    } else if (pos + 1 < bytes.size()) {
      // A lone surrogate: its three UTF-8-like bytes, which no UTF-8 reader accepts.
      const unsigned unit = Utf16Unit(bytes, pos, bigEndian);
      out += static_cast<char>(0xE0 | (unit >> 12));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
      pos += 2;
    } else {
      out += static_cast<char>(0xFF);  // an odd byte at the end: invalid in UTF-8 too
      ++pos;
    }
  }
  return out;
}

bool EncodeCharacter(uint32_t cp, TextEncoding encoding, std::string* out) {
  if (IsUtf16(encoding)) return false;  // never a report's encoding
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
  if (IsUtf16(encoding))
    return CountInvalidLines(Utf16ToUtf8(bytes, encoding), TextEncoding::kUtf8);
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
  if (IsUtf16(encoding)) return DecodeToUtf8(Utf16ToUtf8(bytes, encoding), TextEncoding::kUtf8);
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
