#include "report/report_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace verko {
namespace {

// Writes the decimal digits of |n| backwards from `end` and returns the first digit; with
// `grouped`, a comma stands before every third digit from the right.
char* FormatDigits(int64_t n, char* end, bool grouped) {
  uint64_t v = n < 0 ? static_cast<uint64_t>(-n) : static_cast<uint64_t>(n);
  char* p = end;
  int digits = 0;
  do {
    if (grouped && digits > 0 && digits % 3 == 0) *--p = ',';
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
    ++digits;
  } while (v != 0);
  if (n < 0) *--p = '-';
  return p;
}

// Appends [begin, end) right-aligned in `width` characters, cut to its last `width` ones.
void AppendAligned(std::string& out, const char* begin, const char* end, int width) {
  if (width <= 0) return;
  std::size_t len = static_cast<std::size_t>(end - begin);
  std::size_t w = static_cast<std::size_t>(width);
  if (len >= w) {
    out.append(end - w, w);
  } else {
    out.append(w - len, ' ');
    out.append(begin, len);
  }
}

}  // namespace

// "00" to "99", for writing numbers two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* PutNumber(char* at, int32_t n, int width) {
  if (width <= 0) return at;
  char* const end = at + width;
  if (n < 0) {
    // Rare: the sign counts in the width, so take the general form and keep its tail.
    char buffer[16];
    char* const bufferEnd = buffer + sizeof buffer;
    const char* digits = FormatDigits(n, bufferEnd, false);
    const int len = std::min(static_cast<int>(bufferEnd - digits), width);
    std::memset(at, ' ', static_cast<std::size_t>(width - len));
    std::memcpy(end - len, bufferEnd - len, static_cast<std::size_t>(len));
    return end;
  }
  // Digits from the right until the number or the column runs out (a longer number keeps
  // its last digits), blanks for the rest.
  // Two digits at a time where the number and the column have them.
  uint32_t v = static_cast<uint32_t>(n);
  char* p = end;
  do {
    if (v >= 10 && p - at >= 2) {
      p -= 2;
      std::memcpy(p, kDigitPairs + 2 * (v % 100), 2);
      v /= 100;
    } else {
      *--p = static_cast<char>('0' + v % 10);
      v /= 10;
    }
  } while (v != 0 && p > at);
  while (p > at) *--p = ' ';
  return end;
}

char* PutPartNo(char* at, int partNo) {
  if (partNo == 0) {
    at[0] = at[1] = at[2] = ' ';
    return at + 3;
  }
  char buffer[16];
  char* end = buffer + sizeof buffer;
  *--end = ' ';
  char* p = FormatDigits(partNo < 0 ? -static_cast<int64_t>(partNo) : partNo, end, false);
  *--p = '~';
  std::memcpy(at, buffer + sizeof buffer - 3, 3);
  return at + 3;
}

void AppendNumberC(std::string& out, int32_t n, int width) {
  char buffer[24];
  char* end = buffer + sizeof buffer;
  AppendAligned(out, FormatDigits(n, end, true), end, width);
}

std::string TitleLine(int major, int minor) {
  char version[32];
  std::snprintf(version, sizeof version, "%d.%02d", major, minor);
  return std::string("Verko（テキストファイル比較） Ver ") + version + "  Molvanex";
}

}  // namespace verko
