// The batch-list database VerkoBatchList.mdb over the record store (SQLite): the lists
// (BatchListGroup) with their settings and the file pairs of each list (BatchListContent), and the
// compaction of the file. Names and texts are always bound as parameters. Empty texts are stored as
// null and null is read back as empty text (numbers as 0).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_types.h"
#include "common/status.h"
#include "platform/record_store.h"

namespace verko {

class BatchListStore {
 public:
  // Opens an existing database file (it is never created here) and checks that both tables
  // are present. On failure returns null and sets *status to the reason (the database's
  // own description).
  static std::unique_ptr<BatchListStore> Open(const std::string& path, Status* status);
  ~BatchListStore();
  BatchListStore(const BatchListStore&) = delete;
  BatchListStore& operator=(const BatchListStore&) = delete;

  // Lists. Names are compared as the table's collation does (letter case of A-Z ignored).
  std::optional<int32_t> FindListByName(const std::string& name);
  bool ListExists(int32_t batchId);
  // Every list as (BatchID, BatchName), in the order of their BatchID.
  Status ReadListNames(std::vector<std::pair<int32_t, std::string>>* lists);
  // Adds a list with only its name; the other settings take the table's defaults.
  Status AddList(const std::string& name, int32_t* batchId);
  Status RenameList(int32_t batchId, const std::string& name);
  // Deletes the list's pairs, then the list, in one transaction.
  Status DeleteList(int32_t batchId);

  // The list's settings; nullopt when there is no such list.
  Status LoadSettings(int32_t batchId, std::optional<BatchListSettings>* settings);
  // Writes every setting but the name. The initial value is stored as the numeric value of
  // its text.
  Status SaveSettings(int32_t batchId, const BatchListSettings& settings);

  // The list's pairs sorted by OldFile in the order of the work database's texts (letter
  // case folded: "a.txt" before "B.txt"), rows added earlier first among equal names.
  Status ReadPairs(int32_t batchId, std::vector<PairRow>* rows);
  // Adds rows in one transaction; their pairId is ignored.
  Status AddPairs(int32_t batchId, const std::vector<PairRow>& rows);
  Status SetPairField(int64_t pairId, PairField field, const std::string& value);
  // Sets one field of several rows, (pairId, value) each, in one transaction.
  Status SetPairFields(PairField field, const std::vector<std::pair<int64_t, std::string>>& values);
  Status DeletePair(int64_t pairId);
  Status ClearPairs(int32_t batchId);

 private:
  explicit BatchListStore(std::unique_ptr<Database> db) : db_(std::move(db)) {}

  std::unique_ptr<Database> db_;
};

// Compacts the database file at `path` in place (the file a link points to), in one
// transaction: its mode, owner and links stay, and no row another program has committed is
// lost. A leftover "Temp.mdb" beside it is removed first. A read-only database, a folder
// that cannot take the journal, and a database another program is writing are left as they
// are, with the reason.
Status CompactBatchListDb(const std::string& path);

// The first sequence number of an initial value: rounded to the nearest integer, a half
// to the even neighbour (as every option value), within the 32-bit range. The naming and
// the stored list's settings both round this way, so "2.5" numbers from 2 and reads back
// as 2.
int32_t InitialSequenceNumber(double value);

}  // namespace verko
