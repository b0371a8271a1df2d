#include "report/ordered_links.h"

#include <algorithm>

namespace verko {

std::vector<char> LongestOrderedChain(const std::vector<int>& newLink) {
  const int count = static_cast<int>(newLink.size());
  // tails[k]: the new line ending the chain of length k + 1 whose last old line is smallest.
  std::vector<int> tails;
  std::vector<int> before(newLink.size(), 0);  // the new line preceding n in its chain
  for (int n = 1; n < count; ++n) {
    const int old = newLink[n];
    if (old <= 0) continue;
    const auto at = std::upper_bound(tails.begin(), tails.end(), old,
                                     [&](int value, int tail) { return value < newLink[tail]; });
    before[n] = at == tails.begin() ? 0 : *(at - 1);
    if (at == tails.end()) {
      tails.push_back(n);
    } else {
      *at = n;
    }
  }
  std::vector<char> inChain(newLink.size(), 0);
  for (int n = tails.empty() ? 0 : tails.back(); n > 0; n = before[n]) inChain[n] = 1;
  return inChain;
}

}  // namespace verko
