#include "report/report_decoding.h"

#include "common/encoding.h"

namespace verko {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The beginning of header line 1 of every report, in UTF-8.
constexpr std::string_view kTitleStart = "Verko（テキストファイル比較）";

bool InRange(unsigned char b, unsigned char low, unsigned char high) {
  return b >= low && b <= high;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    unsigned char low = 0x80, high = 0xBF;  // the first continuation byte's range
    if (b < 0x80) {
      ++i;
      continue;
    } else if (InRange(b, 0xC2, 0xDF)) {
      length = 2;
    } else if (InRange(b, 0xE0, 0xEF)) {
      length = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;  // no surrogates
    } else if (InRange(b, 0xF0, 0xF4)) {
      length = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if (k == 1 ? !InRange(c, low, high) : !InRange(c, 0x80, 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

// Byte structure only: ASCII, SS2 + half-width katakana, SS3 + two bytes, or two bytes of
// A1-FE. Requires at least one double-byte character, so plain ASCII is not claimed.
bool IsValidEucJp(std::string_view text) {
  bool wide = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    const auto at = [&](std::size_t k) {
      return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
    };
    if (b < 0x80) {
      i += 1;
    } else if (b == 0x8E && InRange(at(1), 0xA1, 0xDF)) {
      i += 2;
    } else if (b == 0x8F && InRange(at(1), 0xA1, 0xFE) && InRange(at(2), 0xA1, 0xFE)) {
      i += 3;
      wide = true;
    } else if (InRange(b, 0xA1, 0xFE) && InRange(at(1), 0xA1, 0xFE)) {
      i += 2;
      wide = true;
    } else {
      return false;
    }
  }
  return wide;
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

DecodedText DecodeReportBytes(std::string_view bytes) {
  DecodedText decoded;
  if (StartsWith(bytes, kByteOrderMark)) {
    decoded.encoding = TextEncoding::kUtf8;
    decoded.byteOrderMark = true;
    bytes.remove_prefix(kByteOrderMark.size());
    decoded.utf8 = IsValidUtf8(bytes) ? std::string(bytes) : ToUtf8From("UTF-8", bytes);
    return decoded;
  }
  // A report names its encoding by its title; other texts are judged by their bytes.
  if (StartsWith(bytes, kTitleStart)) {
    decoded.encoding = TextEncoding::kUtf8;
  } else if (StartsWith(bytes, FromUtf8To("EUC-JP", kTitleStart))) {
    decoded.encoding = TextEncoding::kEucJp;
  } else if (StartsWith(bytes, ToCp932(kTitleStart))) {
    decoded.encoding = TextEncoding::kCp932;
  } else if (IsValidUtf8(bytes)) {
    decoded.encoding = TextEncoding::kUtf8;
  } else if (IsValidEucJp(bytes)) {
    // Ordinary CP932 text is never valid EUC-JP: its kana and most kanji begin with bytes
    // 81-9F, which EUC-JP does not use.
    decoded.encoding = TextEncoding::kEucJp;
  }
  switch (decoded.encoding) {
    case TextEncoding::kUtf8:
      // A report keeps the compared files' bytes, invalid sequences too.
      decoded.utf8 = IsValidUtf8(bytes) ? std::string(bytes) : ToUtf8From("UTF-8", bytes);
      break;
    case TextEncoding::kEucJp:
      decoded.utf8 = ToUtf8From("EUC-JP", bytes);
      break;
    case TextEncoding::kCp932:
      decoded.utf8 = FromCp932(bytes);
      break;
  }
  return decoded;
}

const char* EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return "UTF-8";
    case TextEncoding::kEucJp:
      return "EUC-JP";
    case TextEncoding::kCp932:
      break;
  }
  return "Shift_JIS";
}

}  // namespace verko
