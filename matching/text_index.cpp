#include "matching/text_index.h"

#include <numeric>

namespace verko {

TextIndex::TextIndex(const std::vector<int>& keys, int keyCount, const std::vector<int>& lineIds)
    : keys_(keys), firstOfKey_(keyCount, 0) {
  // A counting sort by key: the keys are already ranks in text order, and the lines come
  // in LineID order, which each group of equal keys keeps.
  std::vector<int> nextSlot(keyCount + 1, 0);
  for (int id : lineIds) {
    ++nextSlot[keys_[id] + 1];
    if (firstOfKey_[keys_[id]] == 0) firstOfKey_[keys_[id]] = id;
  }
  for (int key = 0; key < keyCount; ++key) nextSlot[key + 1] += nextSlot[key];
  order_.resize(lineIds.size());
  for (int id : lineIds) order_[nextSlot[keys_[id]]++] = id;
}

std::vector<int> AllLineIds(int count) {
  std::vector<int> ids(count);
  std::iota(ids.begin(), ids.end(), 1);
  return ids;
}

}  // namespace verko
