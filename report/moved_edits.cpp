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
constexpr std::size_t kMaxBucketLines = 8;
constexpr std::size_t kMinUnits = 8;

uint64_t Mix(uint64_t key) {
  key ^= key >> 33;
  key *= 0xFF51AFD7ED558CCDULL;
  key ^= key >> 33;
  return key;
}

// The sketch of a line from its unit keys, into `sketch`: the kSketchUnits smallest mixed
// keys, each once.
void SketchOf(const std::vector<uint64_t>& keys, std::vector<uint64_t>* sketch) {
  sketch->clear();
  for (const uint64_t key : keys) {
    const uint64_t mixed = Mix(key);
    if (sketch->size() == kSketchUnits && mixed >= sketch->back()) continue;
    const auto at = std::lower_bound(sketch->begin(), sketch->end(), mixed);
    if (at != sketch->end() && *at == mixed) continue;
    if (sketch->size() == kSketchUnits) sketch->pop_back();
    sketch->insert(at, mixed);
  }
}

}  // namespace

std::vector<std::pair<int, int>> PairMovedEdits(const std::vector<std::string_view>& oldLines,
                                                const std::vector<std::string_view>& newLines,
                                                TextEncoding encoding) {
  std::vector<std::pair<int, int>> pairs;
  if (oldLines.empty() || newLines.empty()) return pairs;
  // Every added line is split for its sketch; only the candidates of a deleted line are
  // sorted to be weighed.
  std::vector<std::vector<uint64_t>> newKeys(newLines.size());
  std::vector<bool> sorted(newLines.size(), false);
  std::unordered_map<uint64_t, std::vector<int>> bucketOf;
  std::vector<uint64_t> sketch;
  for (std::size_t j = 0; j < newLines.size(); ++j) {
    UnitKeys(newLines[j], encoding, &newKeys[j]);
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
    UnitKeys(oldLines[i], encoding, &oldKeys);
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
    if (candidates.empty()) continue;
    std::sort(oldKeys.begin(), oldKeys.end());
    double best = kMinPairSimilarity;
    int chosen = -1;
    for (const int j : candidates) {
      // At most the units of the shorter line are common.
      const double both = static_cast<double>(oldKeys.size() + newKeys[j].size());
      if (2.0 * static_cast<double>(std::min(oldKeys.size(), newKeys[j].size())) < best * both) {
        continue;
      }
      if (!sorted[j]) {
        std::sort(newKeys[j].begin(), newKeys[j].end());
        sorted[j] = true;
      }
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
