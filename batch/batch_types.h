// The data of a batch list as the batch logic and its windows share it: the list's settings
// (the texts of the batch window's fields), its file pairs with their placeholders, and the
// counts shown in the count line. Texts are UTF-8, file names without their folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace verko {

// Stored in OldFile or NewFile of a row until a partner is found.
inline constexpr std::string_view UnpairedMark = "《未ペア》";
// Stored in ResultFile of every new row until a result name is generated or typed.
inline constexpr std::string_view UndecidedMark = "《未定》";

// The default list: always present, neither renamed nor deleted.
inline constexpr int32_t kDefaultBatchID = 1;
// Counts of rows are 16-bit: a list holds at most this many pairs.
inline constexpr int kMaxPairs = 32767;

// A list's settings, as its fields in the batch window show them. Folders end in "/".
struct BatchListSettings {
  std::string batchName;
  std::string oldPath, newPath, resultPath;
  int pairingMethod = 0;  // 0 to 3
  std::string pairingFname, pairingExt, pairingFname2, pairingExt2;
  int resultMethod = 0;  // 0 to 5
  std::string resultFname, resultExt;
  std::string initNo = "0";  // text of the initial-value field

  bool operator==(const BatchListSettings&) const = default;
};

// One file pair of a list. pairId identifies the stored row.
struct PairRow {
  int64_t pairId = 0;
  std::string oldFile, newFile, resultFile;

  bool operator==(const PairRow&) const = default;
};

// The field of a pair row that a command changes.
enum class PairField { kOldFile, kNewFile, kResultFile };

// UpdateCountInfo's counts.
struct PairCounts {
  int pairedCount = 0;
  int unpairedOldCount = 0;
  int unpairedNewCount = 0;
  int undecidedResultCount = 0;

  int Incomplete() const { return unpairedOldCount + unpairedNewCount + undecidedResultCount; }
};

}  // namespace verko
