#include "common/encoding.h"

#include <iconv.h>

#include <cerrno>

#include "common/text_encoding.h"

namespace verko {
namespace {

// Converts UTF-8 with iconv; a character it cannot take is replaced by `substitute` and
// skipped with its continuation bytes.
std::string ConvertFromUtf8(const char* to, std::string_view in, std::string_view substitute) {
  iconv_t cd = iconv_open(to, "UTF-8");
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
    if (static_cast<unsigned char>(*src) >= 0xC0) {
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
  return ConvertFromUtf8("CP932", utf8, "?");
}

std::string FromCp932(std::string_view cp932) {
  return DecodeToUtf8(cp932, TextEncoding::kCp932);
}

std::string FromUtf8To(const char* encoding, std::string_view utf8) {
  return ConvertFromUtf8(encoding, utf8, "?");
}

}  // namespace verko
