#include "common/encoding.h"

#include <iconv.h>

#include <cerrno>

#include "common/cp932.h"
#include "common/text_encoding.h"

namespace verko {
namespace {

// Converts with iconv; an input sequence it cannot take is replaced by `substitute` and
// skipped (one byte, or the whole double-byte character when `skipWidth` says so).
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view substitute, bool fromCp932) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, dst - buffer);
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: replace the offending character and go on after it.
    out.append(substitute);
    size_t skip = 1;
    auto b = static_cast<unsigned char>(*src);
    if (fromCp932) {
      if (IsLeadByte(b) && srcLeft >= 2) skip = 2;
    } else if (b >= 0xC0) {
      skip = 1;
      while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
    }
    src += skip;
    srcLeft -= skip;
  }
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, dst - buffer);
  iconv_close(cd);
  return out;
}

}  // namespace

std::string ToCp932(std::string_view utf8) {
  // Text whose every character CP932 holds is written from the program's table, which
  // gives what iconv writes for each; only other text is handed to iconv, so that an
  // ordinary run never loads iconv's converter.
  std::string out;
  if (EncodeFromUtf8(utf8, TextEncoding::kCp932, &out)) return out;
  return Convert("CP932", "UTF-8", utf8, "?", false);
}

std::string FromCp932(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", true);
}

std::string ToUtf8From(const char* encoding, std::string_view bytes) {
  return Convert("UTF-8", encoding, bytes, "\xEF\xBF\xBD", false);
}

std::string FromUtf8To(const char* encoding, std::string_view utf8) {
  return Convert(encoding, "UTF-8", utf8, "?", false);
}

}  // namespace verko
