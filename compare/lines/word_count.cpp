// WordCountTC counts the separator runs of "[ 　\t\n\r]+|[ぁ-んー。、．，」)；：]+|
// [ァ-ンぁ-んー。、．，」)；：]+" plus one, by a scan of separator classes.
#include <cstdint>

#include "common/cp932.h"
#include "common/separator_class.h"
#include "compare/lines/line_functions.h"

namespace verko {
namespace {

// The separator classes by table: every line of a report is counted, so a character costs
// a lookup instead of a chain of comparisons. kLead marks a lead byte in the byte table.
constexpr unsigned char kLead = 0x80;
constexpr unsigned kFirstDouble = 0x8140, kLastDouble = 0x83FF;

struct ClassTables {
  unsigned char byByte[256] = {};
  unsigned char byDouble[kLastDouble - kFirstDouble + 1] = {};

  constexpr ClassTables() {
    for (unsigned b = 0; b < 256; ++b) {
      if (IsLeadByte(static_cast<unsigned char>(b))) {
        byByte[b] = kLead;
      } else if (b == ' ' || b == '\t' || b == '\r' || b == '\n') {
        byByte[b] = kBlank;
      } else if (b == ')') {
        byByte[b] = kHiraganaOrMark;
      }
    }
    for (unsigned code = kFirstDouble; code <= kLastDouble; ++code) {
      byDouble[code - kFirstDouble] = static_cast<unsigned char>(SeparatorClassOfDoubleByte(code));
    }
  }
};

constexpr ClassTables kClasses;

}  // namespace

int32_t WordCountTC(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  std::size_t last = text.find_last_not_of(' ');
  const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + first;
  const auto* const end = reinterpret_cast<const unsigned char*>(text.data()) + last + 1;

  int32_t runs = 0;
  unsigned accept = 0;  // the classes the current separator run takes; 0 outside a run
  while (p < end) {
    unsigned cls = kClasses.byByte[*p];
    if (cls == kLead && p + 1 < end) {
      const unsigned code = static_cast<unsigned>(p[0]) << 8 | p[1];
      cls = code - kFirstDouble <= kLastDouble - kFirstDouble
                ? kClasses.byDouble[code - kFirstDouble]
                : static_cast<unsigned>(kNoSeparator);
      p += 2;
    } else {
      if (cls == kLead) cls = static_cast<unsigned>(kNoSeparator);  // a lead byte at the end
      ++p;
    }
    if ((cls & accept) != 0) continue;  // the run goes on
    // Any separator that the current run does not take starts a new run.
    accept = static_cast<unsigned>(SeparatorRunClasses(static_cast<int>(cls)));
    if (cls != kNoSeparator) ++runs;
  }
  return runs + 1;
}

}  // namespace verko
