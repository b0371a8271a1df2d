#include "report/moved_edits.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "report/change_units.h"
#include "report/changed_characters.h"

namespace verko {
namespace {

// The units a line is looked up by: the few whose mixed keys are smallest (a sketch of the
// line: two lines alike by half their units most likely share one of them).
constexpr std::size_t kSketchUnits = 4;
// How many lines one sketch unit lists, so that a unit of very many lines costs no more.
constexpr std::size_t kMaxBucketLines = 16;
constexpr std::size_t kMinUnits = 8;

uint64_t Mix(uint64_t key) {
  key ^= key >> 33;
  key *= 0xFF51AFD7ED558CCDULL;
  key ^= key >> 33;
  return key;
}

// The sketch of a line from its sorted unit keys, into `sketch`.
void SketchOf(const std::vector<uint64_t>& keys, std::vector<uint64_t>* sketch) {
  sketch->clear();
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (k > 0 && keys[k] == keys[k - 1]) continue;
    sketch->push_back(Mix(keys[k]));
  }
  const std::size_t count = std::min(kSketchUnits, sketch->size());
  std::partial_sort(sketch->begin(), sketch->begin() + count, sketch->end());
  sketch->resize(count);
}

}  // namespace

std::vector<std::pair<int, int>> PairMovedEdits(const std::vector<std::string_view>& oldLines,
                                                const std::vector<std::string_view>& newLines,
                                                TextEncoding encoding) {
  std::vector<std::pair<int, int>> pairs;
  if (oldLines.empty() || newLines.empty()) return pairs;
  std::vector<std::vector<uint64_t>> newKeys(newLines.size());
  std::unordered_map<uint64_t, std::vector<int>> bucketOf;
  std::vector<uint64_t> sketch;
  for (std::size_t j = 0; j < newLines.size(); ++j) {
    SortedKeys(newLines[j], encoding, &newKeys[j]);
    if (newKeys[j].size() < kMinUnits) continue;
    SketchOf(newKeys[j], &sketch);
    for (const uint64_t unit : sketch) {
      std::vector<int>& bucket = bucketOf[unit];
      if (bucket.size() < kMaxBucketLines) bucket.push_back(static_cast<int>(j));
    }
  }
  std::vector<bool> taken(newLines.size(), false);
  std::vector<uint64_t> oldKeys;
  std::vector<int> candidates;
  for (std::size_t i = 0; i < oldLines.size(); ++i) {
    SortedKeys(oldLines[i], encoding, &oldKeys);
    if (oldKeys.size() < kMinUnits) continue;
    SketchOf(oldKeys, &sketch);
    candidates.clear();
    for (const uint64_t unit : sketch) {
      const auto found = bucketOf.find(unit);
      if (found == bucketOf.end()) continue;
      for (const int j : found->second) {
        if (!taken[j] && std::find(candidates.begin(), candidates.end(), j) == candidates.end() &&
            candidates.size() < static_cast<std::size_t>(kMaxMovedCandidates)) {
          candidates.push_back(j);
        }
      }
    }
    double best = kMinPairSimilarity;
    int chosen = -1;
    for (const int j : candidates) {
      const double similarity = SimilarityOfKeys(oldKeys, newKeys[j]);
      if (similarity > best || (chosen < 0 && similarity >= best)) {
        best = similarity;
        chosen = j;
      }
    }
    if (chosen < 0) continue;
    taken[chosen] = true;
    pairs.emplace_back(static_cast<int>(i), chosen);
  }
  return pairs;
}

}  // namespace verko
