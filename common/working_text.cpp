#include "common/working_text.h"

#include "common/code_tables.h"
#include "common/cp932.h"
#include "common/encoding.h"

namespace verko {

WorkingText::WorkingText(bool decodeAll) : decodeAll_(decodeAll) {
  if (!decodeAll_) return;
  // Codes CP932 leaves unassigned, outside the rows of kana, symbols and letters (whose
  // ranges the separators and the letter folding look at), highest first, so that
  // pop_back gives them out in increasing order.
  const Cp932Table& table = Cp932Codes();
  for (unsigned lead = 0xFC; lead >= 0x85; --lead) {
    if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0xFC; trail >= 0x40; --trail) {
      const unsigned code = (lead << 8) | trail;
      if (trail != 0x7F && table.toUnicode[code] == 0)
        freeCodes_.push_back(static_cast<uint16_t>(code));
    }
  }
  keyOfCode_.assign(0x10000, 0);
}

bool WorkingText::AppendCode(uint32_t key, std::string* out) {
  uint16_t code;
  if (auto known = codeOfKey_.find(key); known != codeOfKey_.end()) {
    code = known->second;
  } else {
    if (freeCodes_.empty()) return false;
    code = freeCodes_.back();
    freeCodes_.pop_back();
    codeOfKey_.emplace(key, code);
    keyOfCode_[code] = key;
  }
  out->push_back(static_cast<char>(code >> 8));
  out->push_back(static_cast<char>(code & 0xFF));
  return true;
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
  if (encoding == TextEncoding::kUtf8 && HasUtf8Bom(bytes)) bytes.remove_prefix(kUtf8Bom.size());
  out->reserve(bytes.size());
  const std::vector<uint16_t>& toCp932 = Cp932Codes().fromUnicode;
  bool lineInvalid = false;
  uint32_t cp = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) {
      if (b == '\r' || b == '\n') lineInvalid = false;
      out->push_back(static_cast<char>(b));
      ++pos;
      continue;
    }
    const std::size_t len = DecodeCharacter(bytes, pos, encoding, &cp);
    if (len == 0) {
      if (!lineInvalid) ++*invalidLines;
      lineInvalid = true;
      if (!AppendCode(kRawByte + b, out)) return false;
      ++pos;
      continue;
    }
    pos += len;
    const uint16_t code = cp < 0x10000 ? toCp932[cp] : 0;
    if (code == 0) {
      if (!AppendCode(cp, out)) return false;
    } else {
      if (code > 0xFF) out->push_back(static_cast<char>(code >> 8));
      out->push_back(static_cast<char>(code & 0xFF));
    }
  }
  return true;
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
  out->reserve(working.size() + working.size() / 2);
  const std::vector<uint16_t>& toUnicode = Cp932Codes().toUnicode;
  for (std::size_t pos = 0; pos < working.size();) {
    const auto b = static_cast<unsigned char>(working[pos]);
    if (b < 0x80) {
      out->push_back(static_cast<char>(b));
      ++pos;
      continue;
    }
    const std::size_t len = CharLengthAt(working, pos);
    const unsigned code = len == 2 ? (b << 8) | static_cast<unsigned char>(working[pos + 1]) : b;
    const uint32_t key = decodeAll_ ? keyOfCode_[code] : 0;
    if (key >= kRawByte) {
      out->push_back(static_cast<char>(key - kRawByte));
    } else if (key != 0) {
      if (!EncodeCharacter(key, encoding, out)) {
        *failedAt = pos;
        return false;
      }
    } else if (toUnicode[code] == 0) {
      out->append(working.substr(pos, len));  // not valid in its CP932 file: kept
    } else if (encoding == TextEncoding::kCp932) {
      out->append(working.substr(pos, len));
    } else if (!EncodeCharacter(toUnicode[code], encoding, out)) {
      *failedAt = pos;
      return false;
    }
    pos += len;
  }
  return true;
}

}  // namespace verko
