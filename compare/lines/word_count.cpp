// WordCountTC counts the separator runs of "[ 　\t\n\r]+|[ぁ-んー。、．，」)；：]+|
// [ァ-ンぁ-んー。、．，」)；：]+" plus one, by a scan of separator classes.
#include <cstdint>

#include "common/cp932.h"
#include "common/separator_class.h"
#include "compare/lines/line_functions.h"

namespace verko {

int32_t WordCountTC(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  std::size_t last = text.find_last_not_of(' ');
  std::string_view t = text.substr(first, last - first + 1);

  int32_t runs = 0;
  int accept = 0;  // the classes the current separator run takes; 0 outside a run
  for (std::size_t pos = 0; pos < t.size();) {
    const std::size_t len = CharLengthAt(t, pos);
    const int cls = SeparatorClassAt(t, pos, len, LineBreaks::kBlank);
    pos += len;
    if ((cls & accept) != 0) continue;  // the run goes on
    // Any separator that the current run does not take starts a new run.
    accept = SeparatorRunClasses(cls);
    if (cls != kNoSeparator) ++runs;
  }
  return runs + 1;
}

}  // namespace verko
