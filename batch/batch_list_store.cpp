#include "batch/batch_list_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <variant>

#include "common/leading_number.h"
#include "common/path_parts.h"
#include "common/system_error.h"

namespace verko {
namespace {

// A statement parameter: null, a number, or a text. TextOrNull turns an empty text into null.
using Param = std::variant<std::nullptr_t, int64_t, std::string>;

Param TextOrNull(const std::string& text) {
  return text.empty() ? Param(nullptr) : Param(text);
}

Status Prepare(Database& db, const std::string& sql, std::initializer_list<Param> params,
               Statement* statement) {
  Status status = db.Prepare(sql, statement);
  int index = 1;
  for (const Param& param : params) {
    if (!status.ok()) break;
    if (std::holds_alternative<int64_t>(param)) {
      status = statement->BindInt(index, std::get<int64_t>(param));
    } else if (std::holds_alternative<std::string>(param)) {
      status = statement->BindText(index, std::get<std::string>(param));
    } else {
      status = statement->BindNull(index);
    }
    ++index;
  }
  return status;
}

Status Run(Database& db, const std::string& sql, std::initializer_list<Param> params) {
  Statement statement;
  Status status = Prepare(db, sql, params, &statement);
  return status.ok() ? statement.Run() : status;
}

// A method index as stored: 16-bit, anything unusable read as 0.
int StoredMethod(int64_t value) {
  return value >= std::numeric_limits<int16_t>::min() &&
                 value <= std::numeric_limits<int16_t>::max()
             ? static_cast<int>(value)
             : 0;
}

// The initial value goes in as a floating value (the column's numeric affinity takes the
// text as a number) and comes back rounded to a 32-bit integer by the query.
std::string InitNoText(const std::string& fieldText) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", LeadingNumber(fieldText));
  return text;
}

std::string PairFieldUpdate(PairField field) {
  const char* column = field == PairField::kOldFile   ? "OldFile"
                       : field == PairField::kNewFile ? "NewFile"
                                                      : "ResultFile";
  return std::string("UPDATE BatchListContent SET ") + column + " = ?1 WHERE rowid = ?2";
}

}  // namespace

int32_t InitialSequenceNumber(double value) {
  if (!(value == value)) return 0;         // NaN
  double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
  if (rounded > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (rounded < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(rounded);
}

std::unique_ptr<BatchListStore> BatchListStore::Open(const std::string& path, Status* status) {
  *status = Status::Ok();
  std::unique_ptr<Database> db = Database::Open(path, Database::OpenMode::kReadWrite, status);
  if (!db) return nullptr;
  // A file that is not a database, or lacks a table, is refused here rather than later.
  Statement check;
  *status = Prepare(*db,
                    "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                    "('BatchListGroup', 'BatchListContent')",
                    {}, &check);
  bool hasRow = false;
  if (status->ok()) *status = check.Step(&hasRow);
  if (!status->ok()) return nullptr;
  if (!hasRow || check.ColumnInt(0) != 2) {
    *status = Status::Error("テーブル BatchListGroup または BatchListContent がありません。");
    return nullptr;
  }
  check = Statement();
  return std::unique_ptr<BatchListStore>(new BatchListStore(std::move(db)));
}

BatchListStore::~BatchListStore() = default;

std::optional<int32_t> BatchListStore::FindListByName(const std::string& name) {
  Statement find;
  bool hasRow = false;
  if (name.empty() ||
      !Prepare(*db_, "SELECT BatchID FROM BatchListGroup WHERE BatchName = ?1 ORDER BY BatchID",
               {name}, &find)
           .ok() ||
      !find.Step(&hasRow).ok() || !hasRow) {
    return std::nullopt;
  }
  return static_cast<int32_t>(find.ColumnInt(0));
}

bool BatchListStore::ListExists(int32_t batchId) {
  Statement find;
  bool hasRow = false;
  return Prepare(*db_, "SELECT 1 FROM BatchListGroup WHERE BatchID = ?1", {int64_t{batchId}}, &find)
             .ok() &&
         find.Step(&hasRow).ok() && hasRow;
}

Status BatchListStore::ReadListNames(std::vector<std::pair<int32_t, std::string>>* lists) {
  lists->clear();
  Statement read;
  Status status =
      Prepare(*db_, "SELECT BatchID, BatchName FROM BatchListGroup ORDER BY BatchID", {}, &read);
  bool hasRow = false;
  while (status.ok() && (status = read.Step(&hasRow)).ok() && hasRow) {
    lists->emplace_back(static_cast<int32_t>(read.ColumnInt(0)), read.ColumnText(1));
  }
  return status;
}

Status BatchListStore::AddList(const std::string& name, int32_t* batchId) {
  Status status = Run(*db_, "INSERT INTO BatchListGroup (BatchName) VALUES (?1)", {name});
  if (status.ok()) *batchId = static_cast<int32_t>(db_->LastInsertRowId());
  return status;
}

Status BatchListStore::RenameList(int32_t batchId, const std::string& name) {
  return Run(*db_, "UPDATE BatchListGroup SET BatchName = ?1 WHERE BatchID = ?2",
             {name, int64_t{batchId}});
}

Status BatchListStore::DeleteList(int32_t batchId) {
  Transaction transaction(*db_);
  Status status = transaction.Begin();
  if (status.ok()) {
    status = Run(*db_, "DELETE FROM BatchListContent WHERE BatchID = ?1", {int64_t{batchId}});
  }
  if (status.ok()) {
    status = Run(*db_, "DELETE FROM BatchListGroup WHERE BatchID = ?1", {int64_t{batchId}});
  }
  return status.ok() ? transaction.Commit() : status;
}

Status BatchListStore::LoadSettings(int32_t batchId, std::optional<BatchListSettings>* settings) {
  settings->reset();
  Statement read;
  Status status = Prepare(
      *db_,
      "SELECT BatchName, OldPath, NewPath, ResultPath, PairingMethod, PairingFname, PairingExt, "
      "PairingFname2, PairingExt2, ResultMethod, ResultFname, ResultExt, "
      "coalesce(InitNo, 0) "
      "FROM BatchListGroup WHERE BatchID = ?1",
      {int64_t{batchId}}, &read);
  bool hasRow = false;
  if (status.ok()) status = read.Step(&hasRow);
  if (!status.ok() || !hasRow) return status;
  BatchListSettings& s = settings->emplace();
  s.batchName = read.ColumnText(0);
  s.oldPath = read.ColumnText(1);
  s.newPath = read.ColumnText(2);
  s.resultPath = read.ColumnText(3);
  s.pairingMethod = StoredMethod(read.ColumnInt(4));
  s.pairingFname = read.ColumnText(5);
  s.pairingExt = read.ColumnText(6);
  s.pairingFname2 = read.ColumnText(7);
  s.pairingExt2 = read.ColumnText(8);
  s.resultMethod = StoredMethod(read.ColumnInt(9));
  s.resultFname = read.ColumnText(10);
  s.resultExt = read.ColumnText(11);
  s.initNo = std::to_string(InitialSequenceNumber(read.ColumnDouble(12)));
  return Status::Ok();
}

Status BatchListStore::SaveSettings(int32_t batchId, const BatchListSettings& s) {
  return Run(*db_,
             "UPDATE BatchListGroup SET OldPath = ?1, NewPath = ?2, ResultPath = ?3, "
             "PairingMethod = ?4, PairingFname = ?5, PairingExt = ?6, PairingFname2 = ?7, "
             "PairingExt2 = ?8, ResultMethod = ?9, ResultFname = ?10, ResultExt = ?11, "
             "InitNo = ?12 WHERE BatchID = ?13",
             {TextOrNull(s.oldPath), TextOrNull(s.newPath), TextOrNull(s.resultPath),
              int64_t{static_cast<int16_t>(s.pairingMethod)}, TextOrNull(s.pairingFname),
              TextOrNull(s.pairingExt), TextOrNull(s.pairingFname2), TextOrNull(s.pairingExt2),
              int64_t{static_cast<int16_t>(s.resultMethod)}, TextOrNull(s.resultFname),
              TextOrNull(s.resultExt), InitNoText(s.initNo), int64_t{batchId}});
}

Status BatchListStore::ReadPairs(int32_t batchId, std::vector<PairRow>* rows) {
  rows->clear();
  Statement read;
  Status status =
      Prepare(*db_,
              "SELECT BatchListContent.rowid, BatchListContent.OldFile, BatchListContent.NewFile, "
              "BatchListContent.ResultFile FROM BatchListContent "
              "INNER JOIN BatchListGroup ON BatchListContent.BatchID = BatchListGroup.BatchID "
              "WHERE BatchListGroup.BatchID = ?1 "
              "ORDER BY BatchListContent.OldFile COLLATE VerkoText, BatchListContent.rowid",
              {int64_t{batchId}}, &read);
  bool hasRow = false;
  while (status.ok() && (status = read.Step(&hasRow)).ok() && hasRow) {
    rows->push_back(
        {read.ColumnInt(0), read.ColumnText(1), read.ColumnText(2), read.ColumnText(3)});
  }
  return status;
}

Status BatchListStore::AddPairs(int32_t batchId, const std::vector<PairRow>& rows) {
  Transaction transaction(*db_);
  Status status = transaction.Begin();
  for (const PairRow& row : rows) {
    if (!status.ok()) break;
    status = Run(*db_,
                 "INSERT INTO BatchListContent (BatchID, OldFile, NewFile, ResultFile) "
                 "VALUES (?1, ?2, ?3, ?4)",
                 {int64_t{batchId}, TextOrNull(row.oldFile), TextOrNull(row.newFile),
                  TextOrNull(row.resultFile)});
  }
  return status.ok() ? transaction.Commit() : status;
}

Status BatchListStore::SetPairField(int64_t pairId, PairField field, const std::string& value) {
  // The pair fields are required: an empty name is refused by the table as a null.
  return Run(*db_, PairFieldUpdate(field), {TextOrNull(value), pairId});
}

Status BatchListStore::SetPairFields(PairField field,
                                     const std::vector<std::pair<int64_t, std::string>>& values) {
  Transaction transaction(*db_);
  Status status = transaction.Begin();
  for (const auto& [pairId, value] : values) {
    if (!status.ok()) break;
    status = SetPairField(pairId, field, value);
  }
  return status.ok() ? transaction.Commit() : status;
}

Status BatchListStore::DeletePair(int64_t pairId) {
  return Run(*db_, "DELETE FROM BatchListContent WHERE rowid = ?1", {pairId});
}

Status BatchListStore::ClearPairs(int32_t batchId) {
  return Run(*db_, "DELETE FROM BatchListContent WHERE BatchID = ?1", {int64_t{batchId}});
}

Status CompactBatchListDb(const std::string& path) {
  // The file a link points to is the database; the link stays a link.
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return Status::Error(SystemErrorText(errno) + "(" + path + ")");
  const std::string target = resolved;
  std::free(resolved);
  const std::string folder = DirPart(target);

  // A database its owner made read-only is left as it is, also for a user who could write
  // it anyway.
  struct stat st;
  if (::stat(target.c_str(), &st) != 0) return Status::Error(SystemErrorText(errno));
  if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
    return Status::Error("データベースファイルが読み取り専用のため、圧縮しませんでした。(" +
                         target + ")");
  }
  // Compaction writes a journal beside the file, so the folder must take one.
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return Status::Error(SystemErrorText(errno) + "(" + folder + ")");
  }

  // "Temp.mdb" was the scratch file of the compaction; one left over is removed.
  const std::string temp = DirPart(path) + "Temp.mdb";
  if (::lstat(temp.c_str(), &st) == 0 && std::remove(temp.c_str()) != 0) {
    return Status::Error("前回の一時ファイル " + temp +
                         " を削除できません: " + SystemErrorText(errno));
  }

  // The file is rewritten in place in one transaction of its own: its mode, owner and links
  // stay, a failure leaves it as it was, and another program's connection sees the compacted
  // file. While another program has a transaction open, the compaction waits a moment and
  // then gives up, so that its rows are never lost.
  Status status = Status::Ok();
  std::unique_ptr<Database> db = Database::Open(target, Database::OpenMode::kReadWrite, &status);
  if (db) status = db->Exec("PRAGMA busy_timeout = 2000; PRAGMA temp_store = MEMORY; VACUUM;");
  if (db && status.ok()) status = db->Close();
  if (!status.ok()) return Status::Error("データベースを圧縮できません: " + status.reason());
  return Status::Ok();
}

}  // namespace verko
