// The work database "VerkoText.mdb" of one comparison, an SQLite file in the work folder:
// the line tables OldText and NewText (and the leftover tables OldText2, NewText2) with
// their indexes LineIdOrder and TextOrder. The comparison works from memory; this file
// records what it stored. Writes are queued to a second thread (or, for small runs and runs
// side by side, kept until Finish()) and joined by Finish(), which writes the file under a
// temporary name and puts it in place of VerkoText.mdb; the former file's name is removed
// when the database is opened.
#pragma once

#include <memory>
#include <string>

#include "common/status.h"
#include "common/text_fold.h"
#include "compare/lines/work_store.h"

namespace verko {

inline constexpr const char* kWorkDatabaseName = "VerkoText.mdb";

class WorkDatabase : public WorkStore {
 public:
  // Starts the database with empty OldText and NewText (Text sized splitWidth), in a new
  // file of its own beside `path`. The former database at `path` (a file, or a link itself,
  // never its target) loses its name at once, with no temporary name on the way, and its
  // blocks are freed before the writes begin, so that the finished file takes the free name;
  // the path never names a half-written file. Temporary files that killed runs left beside
  // `path` (ours by their name, held by no writer) are removed first. On
  // failure (the folder cannot take a file, a folder stands at `path`) returns null, leaves
  // `path` alone and sets *status to the reason.
  // `ownThread` false: the writes wait and are all done by Finish() on the caller's thread,
  // for runs side by side that already keep every core busy (so it is too when the system
  // gives no thread).
  static std::unique_ptr<WorkDatabase> Open(const std::string& path, int splitWidth, Status* status,
                                            bool ownThread = true);
  ~WorkDatabase() override;  // finishes and closes; errors ignored

  void CreateLineTable(const std::string& table) override;
  void AppendLines(const std::string& table, const LineTable& source,
                   std::vector<int> lineIds) override;
  void AppendAllLines(const std::string& table, const LineTable& source) override;
  void CreateTextOrderIndex(const std::string& table) override;
  void CreateTextOrderIndex(const std::string& table, std::vector<int> lineIdsInOrder) override;

  // Whether the writes go to a thread of their own from now on (when Open allowed one) or
  // wait for Finish(): a small run's database costs less than a thread's hand-overs. Only
  // the first call counts; without one the writes wait.
  void StartWriter(bool ownThread);
  // The fold that orders the text indexes created after this call (the letter-case fold
  // until then).
  void SetTextFold(TextFold fold);

  // No write follows: the writer thread writes the file and puts it in place now, while
  // the caller goes on (with the report). Finish() waits for it and returns the outcome.
  void Complete();

  // Waits until every queued write is done, writes the file and renames it to the path.
  // Returns the first failure of any write (later writes after a failure are skipped); an
  // index whose keys are out of order, or a failure to write the file, leaves no database
  // at the path (as a run that deletes it first and fails), and nothing half-written.
  Status Finish();

 private:
  class Impl;
  explicit WorkDatabase(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace verko
