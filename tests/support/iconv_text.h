// Conversions by iconv itself, so that tests of encodings do not convert with the code they
// check.
#pragma once

#include <iconv.h>

#include <string>

namespace verko::test_support {

// iconv's conversion of the whole text, or "" when iconv refuses any of it (or does not
// know an encoding).
inline std::string Iconv(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "";
  std::string out(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return "";
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace verko::test_support
