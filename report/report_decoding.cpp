#include "report/report_decoding.h"

#include <array>
#include <memory>

#include "common/cp932.h"
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

// CP932 to UTF-8 through a table of every character, each converted once by iconv: a report
// of 32,000 lines a side is read many times faster than by iconv on the whole text. A
// byte sequence iconv does not take becomes U+FFFD, a lead byte taking its trail byte with
// it, as FromCp932 does.
class Cp932Table {
 public:
  Cp932Table() {
    // Two conversions in all: every single byte, then every pair, one per line. A pair whose
    // trail byte no lead takes is invalid without asking.
    std::string singles, pairs;
    for (int b = 0x80; b < 0x100; ++b) {
      if (!IsLeadByte(static_cast<unsigned char>(b))) singles.append({char(b), '\n'});
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
        pairs.append({char(lead), char(trail), '\n'});
      }
    }
    for (std::string& entry : double_) entry = kReplacement;
    std::size_t pos = 0;
    const std::string singlesUtf8 = FromCp932(singles), pairsUtf8 = FromCp932(pairs);
    for (int b = 0x80; b < 0x100; ++b) {
      if (!IsLeadByte(static_cast<unsigned char>(b))) single_[b] = NextEntry(singlesUtf8, pos);
    }
    pos = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
        double_[Index(lead, trail)] = NextEntry(pairsUtf8, pos);
      }
    }
  }

  void Decode(std::string_view bytes, std::string& out) const {
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size();) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if (b < 0x80) {
        out.push_back(static_cast<char>(b));
        ++i;
      } else if (!IsLeadByte(b)) {
        out.append(single_[b]);
        ++i;
      } else if (i + 1 < bytes.size()) {
        out.append(double_[Index(b, static_cast<unsigned char>(bytes[i + 1]))]);
        i += 2;
      } else {
        out.append(kReplacement);
        ++i;
      }
    }
  }

 private:
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  static std::size_t Index(int lead, int trail) {
    return static_cast<std::size_t>(lead < 0xE0 ? lead - 0x81 : lead - 0xE0 + 31) * 0x100 + trail;
  }
  static constexpr int kFirstTrail = 0x40, kLastTrail = 0xFC;
  // The next line of a conversion's output; U+FFFD for an empty one.
  static std::string NextEntry(const std::string& utf8, std::size_t& pos) {
    const std::size_t end = utf8.find('\n', pos);
    std::string entry = utf8.substr(pos, end - pos);
    pos = end + 1;
    return entry.empty() ? std::string(kReplacement) : entry;
  }

  std::array<std::string, 0x100> single_;
  std::array<std::string, 60 * 0x100> double_;
};

std::string DecodeCp932(std::string_view bytes) {
  static const std::unique_ptr<const Cp932Table> table = std::make_unique<Cp932Table>();
  std::string out;
  table->Decode(bytes, out);
  return out;
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

DecodedText DecodeReportBytes(std::string_view bytes) {
  DecodedText decoded;
  if (StartsWith(bytes, kByteOrderMark)) {
    decoded.encoding = ReportEncoding::kUtf8;
    decoded.byteOrderMark = true;
    bytes.remove_prefix(kByteOrderMark.size());
    decoded.utf8 = IsValidUtf8(bytes) ? std::string(bytes) : ToUtf8From("UTF-8", bytes);
    return decoded;
  }
  // A report names its encoding by its title; other texts are judged by their bytes.
  if (StartsWith(bytes, kTitleStart)) {
    decoded.encoding = ReportEncoding::kUtf8;
  } else if (StartsWith(bytes, FromUtf8To("EUC-JP", kTitleStart))) {
    decoded.encoding = ReportEncoding::kEucJp;
  } else if (StartsWith(bytes, ToCp932(kTitleStart))) {
    decoded.encoding = ReportEncoding::kCp932;
  } else if (IsValidUtf8(bytes)) {
    decoded.encoding = ReportEncoding::kUtf8;
  } else if (IsValidEucJp(bytes)) {
    // Ordinary CP932 text is never valid EUC-JP: its kana and most kanji begin with bytes
    // 81-9F, which EUC-JP does not use.
    decoded.encoding = ReportEncoding::kEucJp;
  }
  switch (decoded.encoding) {
    case ReportEncoding::kUtf8:
      // A report keeps the compared files' bytes, invalid sequences too.
      decoded.utf8 = IsValidUtf8(bytes) ? std::string(bytes) : ToUtf8From("UTF-8", bytes);
      break;
    case ReportEncoding::kEucJp:
      decoded.utf8 = ToUtf8From("EUC-JP", bytes);
      break;
    case ReportEncoding::kCp932:
      decoded.utf8 = DecodeCp932(bytes);
      break;
  }
  return decoded;
}

const char* EncodingName(ReportEncoding encoding) {
  switch (encoding) {
    case ReportEncoding::kUtf8:
      return "UTF-8";
    case ReportEncoding::kEucJp:
      return "EUC-JP";
    case ReportEncoding::kCp932:
      break;
  }
  return "Shift_JIS";
}

}  // namespace verko
