#include "batch/batch_list_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "common/path_parts.h"
#include "common/rounding.h"
#include "common/system_error.h"

namespace verko {
namespace {

// One prepared statement, finalised when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Binds a text; an empty text becomes null.
  Statement& Text(int index, const std::string& value) {
    if (ok()) {
      rc_ = value.empty() ? sqlite3_bind_null(stmt_, index)
                          : sqlite3_bind_text(stmt_, index, value.data(),
                                              static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    return *this;
  }
  Statement& Int(int index, int64_t value) {
    if (ok()) rc_ = sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  Statement& Real(int index, double value) {
    if (ok()) rc_ = sqlite3_bind_double(stmt_, index, value);
    return *this;
  }

  // Steps once; true while a row is available. A failure ends the walk and shows in status().
  bool Step() {
    if (!ok()) return false;
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) rc_ = rc;
    return false;
  }
  Status Run() {
    Step();
    return status();
  }

  std::string ColumnText(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                : std::string();
  }
  int64_t ColumnInt(int column) const { return sqlite3_column_int64(stmt_, column); }
  double ColumnReal(int column) const { return sqlite3_column_double(stmt_, column); }

  bool ok() const { return rc_ == SQLITE_OK; }
  Status status() const { return ok() ? Status::Ok() : Status::Error(sqlite3_errmsg(db_)); }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  int rc_;
};

// A method index as stored: 16-bit, anything unusable read as 0.
int StoredMethod(int64_t value) {
  return value >= std::numeric_limits<int16_t>::min() &&
                 value <= std::numeric_limits<int16_t>::max()
             ? static_cast<int>(value)
             : 0;
}

// The initial value is stored from a floating value and read back as a 32-bit integer.
int32_t StoredInitNo(double value) {
  if (!std::isfinite(value)) return 0;
  value = std::nearbyint(value);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return RoundHalfEven(value);
}

const char* PairFieldColumn(PairField field) {
  switch (field) {
    case PairField::kOldFile:
      return "UPDATE BatchListContent SET OldFile = ?1 WHERE rowid = ?2";
    case PairField::kNewFile:
      return "UPDATE BatchListContent SET NewFile = ?1 WHERE rowid = ?2";
    case PairField::kResultFile:
      break;
  }
  return "UPDATE BatchListContent SET ResultFile = ?1 WHERE rowid = ?2";
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Flushes a finished file to the disk before it takes the original's place.
Status SyncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0 || ::fsync(fd) != 0) {
    int err = errno;
    if (fd >= 0) ::close(fd);
    return Status::Error(SystemErrorText(err));
  }
  ::close(fd);
  return Status::Ok();
}

}  // namespace

double LeadingNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0;
  std::size_t start = i;
  if (text[i] == '+' || text[i] == '-') ++i;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  }
  if (!digits) return 0;
  double value = std::strtod(text.substr(start, i - start).c_str(), nullptr);
  return std::isfinite(value) ? value : 0;
}

Status BatchListStore::Open(const std::string& path, std::unique_ptr<BatchListStore>* store) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    Status status = Status::Error(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_close(db);
    return status;
  }
  sqlite3_busy_timeout(db, 2000);
  std::unique_ptr<BatchListStore> opened(new BatchListStore(db));
  // A file that is not a database, or lacks a table, is refused here rather than later.
  Statement check(db,
                  "SELECT (SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                  "('BatchListGroup', 'BatchListContent'))");
  if (!check.Step()) return check.ok() ? Status::Error("no tables") : check.status();
  if (check.ColumnInt(0) != 2) {
    return Status::Error("テーブル BatchListGroup または BatchListContent がありません。");
  }
  *store = std::move(opened);
  return Status::Ok();
}

BatchListStore::~BatchListStore() { sqlite3_close_v2(db_); }

Status BatchListStore::Exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return Status::Ok();
  Status status = Status::Error(message ? message : sqlite3_errmsg(db_));
  sqlite3_free(message);
  return status;
}

std::optional<int32_t> BatchListStore::FindListByName(const std::string& name) {
  Statement find(db_, "SELECT BatchID FROM BatchListGroup WHERE BatchName = ?1 ORDER BY BatchID");
  if (name.empty()) return std::nullopt;
  if (find.Text(1, name).Step()) return static_cast<int32_t>(find.ColumnInt(0));
  return std::nullopt;
}

bool BatchListStore::ListExists(int32_t batchId) {
  Statement find(db_, "SELECT 1 FROM BatchListGroup WHERE BatchID = ?1");
  return find.Int(1, batchId).Step();
}

Status BatchListStore::ReadListNames(std::vector<std::pair<int32_t, std::string>>* lists) {
  lists->clear();
  Statement read(db_, "SELECT BatchID, BatchName FROM BatchListGroup ORDER BY BatchID");
  while (read.Step()) lists->emplace_back(static_cast<int32_t>(read.ColumnInt(0)), read.ColumnText(1));
  return read.status();
}

Status BatchListStore::AddList(const std::string& name, int32_t* batchId) {
  Statement add(db_, "INSERT INTO BatchListGroup (BatchName) VALUES (?1)");
  Status status = add.Text(1, name).Run();
  if (status.ok()) *batchId = static_cast<int32_t>(sqlite3_last_insert_rowid(db_));
  return status;
}

Status BatchListStore::RenameList(int32_t batchId, const std::string& name) {
  return Statement(db_, "UPDATE BatchListGroup SET BatchName = ?1 WHERE BatchID = ?2")
      .Text(1, name)
      .Int(2, batchId)
      .Run();
}

Status BatchListStore::DeleteList(int32_t batchId) {
  Status status = Exec("BEGIN IMMEDIATE");
  if (!status.ok()) return status;
  status = Statement(db_, "DELETE FROM BatchListContent WHERE BatchID = ?1").Int(1, batchId).Run();
  if (status.ok()) {
    status = Statement(db_, "DELETE FROM BatchListGroup WHERE BatchID = ?1").Int(1, batchId).Run();
  }
  if (status.ok()) status = Exec("COMMIT");
  if (!status.ok()) Exec("ROLLBACK");
  return status;
}

Status BatchListStore::LoadSettings(int32_t batchId, std::optional<BatchListSettings>* settings) {
  settings->reset();
  Statement read(db_,
                 "SELECT BatchName, OldPath, NewPath, ResultPath, PairingMethod, PairingFname, "
                 "PairingExt, PairingFname2, PairingExt2, ResultMethod, ResultFname, ResultExt, "
                 "InitNo FROM BatchListGroup WHERE BatchID = ?1");
  if (!read.Int(1, batchId).Step()) return read.status();
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
  s.initNo = std::to_string(StoredInitNo(read.ColumnReal(12)));
  return Status::Ok();
}

Status BatchListStore::SaveSettings(int32_t batchId, const BatchListSettings& s) {
  return Statement(db_,
                   "UPDATE BatchListGroup SET OldPath = ?1, NewPath = ?2, ResultPath = ?3, "
                   "PairingMethod = ?4, PairingFname = ?5, PairingExt = ?6, PairingFname2 = ?7, "
                   "PairingExt2 = ?8, ResultMethod = ?9, ResultFname = ?10, ResultExt = ?11, "
                   "InitNo = ?12 WHERE BatchID = ?13")
      .Text(1, s.oldPath)
      .Text(2, s.newPath)
      .Text(3, s.resultPath)
      .Int(4, static_cast<int16_t>(s.pairingMethod))
      .Text(5, s.pairingFname)
      .Text(6, s.pairingExt)
      .Text(7, s.pairingFname2)
      .Text(8, s.pairingExt2)
      .Int(9, static_cast<int16_t>(s.resultMethod))
      .Text(10, s.resultFname)
      .Text(11, s.resultExt)
      .Real(12, LeadingNumber(s.initNo))
      .Int(13, batchId)
      .Run();
}

Status BatchListStore::ReadPairs(int32_t batchId, std::vector<PairRow>* rows) {
  rows->clear();
  Statement read(db_,
                 "SELECT BatchListContent.rowid, BatchListContent.OldFile, "
                 "BatchListContent.NewFile, BatchListContent.ResultFile FROM BatchListContent "
                 "INNER JOIN BatchListGroup ON BatchListContent.BatchID = BatchListGroup.BatchID "
                 "WHERE BatchListGroup.BatchID = ?1 "
                 "ORDER BY BatchListContent.OldFile, BatchListContent.rowid");
  read.Int(1, batchId);
  while (read.Step()) {
    rows->push_back({read.ColumnInt(0), read.ColumnText(1), read.ColumnText(2), read.ColumnText(3)});
  }
  return read.status();
}

Status BatchListStore::AddPairs(int32_t batchId, const std::vector<PairRow>& rows) {
  Status status = Exec("BEGIN IMMEDIATE");
  if (!status.ok()) return status;
  for (const PairRow& row : rows) {
    status = Statement(db_,
                       "INSERT INTO BatchListContent (BatchID, OldFile, NewFile, ResultFile) "
                       "VALUES (?1, ?2, ?3, ?4)")
                 .Int(1, batchId)
                 .Text(2, row.oldFile)
                 .Text(3, row.newFile)
                 .Text(4, row.resultFile)
                 .Run();
    if (!status.ok()) break;
  }
  if (status.ok()) status = Exec("COMMIT");
  if (!status.ok()) Exec("ROLLBACK");
  return status;
}

Status BatchListStore::SetPairField(int64_t pairId, PairField field, const std::string& value) {
  // The pair fields are required: an emptied cell is refused by the table as a null.
  return Statement(db_, PairFieldColumn(field)).Text(1, value).Int(2, pairId).Run();
}

Status BatchListStore::SetPairFields(
    PairField field, const std::vector<std::pair<int64_t, std::string>>& values) {
  Status status = Exec("BEGIN IMMEDIATE");
  if (!status.ok()) return status;
  for (const auto& [pairId, value] : values) {
    status = SetPairField(pairId, field, value);
    if (!status.ok()) break;
  }
  if (status.ok()) status = Exec("COMMIT");
  if (!status.ok()) Exec("ROLLBACK");
  return status;
}

Status BatchListStore::DeletePair(int64_t pairId) {
  return Statement(db_, "DELETE FROM BatchListContent WHERE rowid = ?1").Int(1, pairId).Run();
}

Status BatchListStore::ClearPairs(int32_t batchId) {
  return Statement(db_, "DELETE FROM BatchListContent WHERE BatchID = ?1").Int(1, batchId).Run();
}

Status CompactBatchListDb(const std::string& path) {
  const std::string temp = DirPart(path) + "Temp.mdb";
  if (PathExists(temp) && std::remove(temp.c_str()) != 0) {
    return Status::Error("前回の一時ファイル " + temp + " を削除できません: " +
                         SystemErrorText(errno));
  }
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  Status status = Status::Ok();
  if (rc != SQLITE_OK) {
    status = Status::Error(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  } else {
    Statement vacuum(db, "VACUUM INTO ?1");
    vacuum.Text(1, temp);
    status = vacuum.Run();
  }
  sqlite3_close(db);
  if (status.ok()) status = SyncFile(temp);
  if (status.ok() && std::rename(temp.c_str(), path.c_str()) != 0) {
    status = Status::Error(SystemErrorText(errno));
  }
  if (!status.ok()) {
    // Only a file we may have begun is removed; the original has not been touched.
    struct stat st;
    if (::lstat(temp.c_str(), &st) == 0 && S_ISREG(st.st_mode)) std::remove(temp.c_str());
    return Status::Error("一時ファイル " + temp + " に圧縮できません: " + status.reason());
  }
  return Status::Ok();
}

}  // namespace verko
