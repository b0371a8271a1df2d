// Result file names of a batch list by naming method: from the old or new name with a chosen
// extension, the old or new name itself, or a template with a zero-padded sequence number in
// the place of its run of "#".
#pragma once

#include <string>
#include <vector>

#include "batch/batch_types.h"

namespace verko {

// Naming methods, as the list index of the method chooser.
enum ResultMethod : int {
  kResultManual = 0,
  kResultOldBaseExt = 1,
  kResultNewBaseExt = 2,
  kResultSameAsOld = 3,
  kResultSameAsNew = 4,
  kResultSequence = 5,
};

// Why names could not be generated: the message for the user.
struct NamingRefusal {
  std::string text, title;
};

// The result name of every row, in order, by the list's method (1 to 5). Method 0 and an
// unknown method give no names. Returns false with `refusal` set for a template without a
// "#" run or with a second "#".
bool GenerateResultNames(const std::vector<PairRow>& rows, const BatchListSettings& settings,
                         std::vector<std::string>* names, NamingRefusal* refusal);

// The sequence number n in w digits: the last w characters of w zeros followed by n.
std::string SequenceDigits(long long n, int width);

}  // namespace verko
