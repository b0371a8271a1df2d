#include "matching/text_index.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace verko {

TextIndex::TextIndex(const std::vector<std::string>& folded, const std::vector<int>& lineIds)
    : folded_(folded) {
  // Group the lines by folded text, then order the groups by text and lay out each group's
  // LineIDs in their given (increasing) order: a sort over distinct texts only, so files
  // with many repeated lines index in linear time.
  std::vector<std::string_view> groupText;
  std::vector<int> groupSize;
  std::vector<int> groupOfLine;
  groupOfLine.reserve(lineIds.size());
  groupOf_.reserve(lineIds.size());
  for (int id : lineIds) {
    std::string_view text = folded_[id];
    auto [it, isNew] = groupOf_.try_emplace(text, static_cast<int>(groupText.size()));
    if (isNew) {
      groupText.push_back(text);
      groupSize.push_back(0);
      groupFirst_.push_back(id);
    }
    ++groupSize[it->second];
    groupOfLine.push_back(it->second);
  }

  std::vector<int> groupsByText(groupText.size());
  std::iota(groupsByText.begin(), groupsByText.end(), 0);
  // string_view compares bytes as unsigned characters, shorter prefix first.
  std::sort(groupsByText.begin(), groupsByText.end(),
            [&groupText](int a, int b) { return groupText[a] < groupText[b]; });

  std::vector<int> nextSlot(groupText.size());
  int slot = 0;
  for (int group : groupsByText) {
    nextSlot[group] = slot;
    slot += groupSize[group];
  }
  order_.resize(lineIds.size());
  for (std::size_t k = 0; k < lineIds.size(); ++k) {
    order_[nextSlot[groupOfLine[k]]++] = lineIds[k];
  }
}

int TextIndex::SeekEqual(std::string_view foldedText) const {
  auto it = groupOf_.find(foldedText);
  return it == groupOf_.end() ? 0 : groupFirst_[it->second];
}

std::vector<int> AllLineIds(int count) {
  std::vector<int> ids(count);
  std::iota(ids.begin(), ids.end(), 1);
  return ids;
}

}  // namespace verko
