#include "compare/work_database.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "common/system_error.h"
#include "platform/record_store.h"

namespace verko {
namespace {

using Job = std::function<Status(Database&)>;

// Rows per INSERT statement: large enough that the cost per statement vanishes, small
// enough to stay far below the store's limit of bound parameters.
constexpr int kRowsPerInsert = 100;
constexpr int kFieldsPerRow = 4;

// Index names are shared by all tables of an SQLite database, so each table's index
// carries the table's name in front: "OldText_LineIdOrder", "NewText_TextOrder".
std::string IndexName(const std::string& table, const char* index) {
  return QuoteIdentifier(table + "_" + index);
}

std::string CreateLineTableSql(const std::string& table, int splitWidth) {
  return "CREATE TABLE " + QuoteIdentifier(table) +
         " (LineID SMALLINT, LineNo SMALLINT, PartNo SMALLINT, Text VARCHAR(" +
         std::to_string(splitWidth) + "));" + "CREATE UNIQUE INDEX " +
         IndexName(table, "LineIdOrder") + " ON " + QuoteIdentifier(table) + " (LineID);";
}

std::string InsertSql(const std::string& table, int rows) {
  std::string sql =
      "INSERT INTO " + QuoteIdentifier(table) + " (LineID, LineNo, PartNo, Text) VALUES ";
  for (int row = 0; row < rows; ++row) sql += row == 0 ? "(?,?,?,?)" : ",(?,?,?,?)";
  return sql;
}

// Deletes what a former run left at `path`: the file and any journal beside it.
Status RemoveFormerFiles(const std::string& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
    std::filesystem::path file(path + suffix);
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::symlink_status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) continue;
    if (status.type() == std::filesystem::file_type::directory) {
      return Status::Error(SystemErrorText(EISDIR) + "(" + file.string() + ")");
    }
    if (!std::filesystem::remove(file, error) && error) {
      return Status::Error(SystemErrorText(error.default_error_condition().value()) + "(" +
                           file.string() + ")");
    }
  }
  return Status::Ok();
}

// Binds the four fields of `record` as row `row` of a multi-row INSERT. The text is bound
// without a copy: the line table outlives the writes.
Status BindRecord(Statement& insert, int row, const LineRecord& record) {
  int first = row * kFieldsPerRow + 1;
  Status status = insert.BindInt(first, record.LineID);
  if (status.ok()) status = insert.BindInt(first + 1, record.LineNo);
  if (status.ok()) status = insert.BindInt(first + 2, record.PartNo);
  if (status.ok()) status = insert.BindTextNoCopy(first + 3, record.Text);
  return status;
}

// Appends `count` records of `source` in one transaction; `recordAt(i)` gives the i-th.
Status AppendRecords(Database& db, const std::string& table, int count,
                     const std::function<const LineRecord*(int)>& recordAt) {
  Transaction transaction(db);
  Status status = transaction.Begin();
  Statement fullInsert;
  Statement lastInsert;
  for (int start = 0; status.ok() && start < count; start += kRowsPerInsert) {
    int rows = std::min(kRowsPerInsert, count - start);
    Statement& insert = rows == kRowsPerInsert ? fullInsert : lastInsert;
    if (!insert.IsPrepared()) status = db.Prepare(InsertSql(table, rows), &insert);
    for (int row = 0; status.ok() && row < rows; ++row) {
      const LineRecord* record = recordAt(start + row);
      if (record == nullptr) {
        return Status::Error("記録する行がありません。(" + table + ")");
      }
      status = BindRecord(insert, row, *record);
    }
    if (status.ok()) status = insert.Run();
  }
  if (status.ok()) status = transaction.Commit();
  return status;
}

}  // namespace

// The database and its writer thread. Jobs run in the order queued; after the first
// failure the remaining jobs are skipped and the failure is kept for Finish().
class WorkDatabase::Impl {
 public:
  Impl(std::unique_ptr<Database> db, int splitWidth)
      : db_(std::move(db)), splitWidth_(splitWidth), writer_([this] { RunJobs(); }) {}

  ~Impl() { Finish(); }

  int SplitWidth() const { return splitWidth_; }

  void Enqueue(Job job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closing_) return;  // after Finish nothing more is written
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

  Status Finish() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closing_) return failure_;
      closing_ = true;
    }
    wake_.notify_one();
    writer_.join();
    Status closed = db_->Close();
    if (failure_.ok() && !closed.ok()) failure_ = closed;
    db_.reset();
    return failure_;
  }

 private:
  void RunJobs() {
    for (;;) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      if (failure_.ok()) failure_ = job(*db_);
    }
  }

  std::unique_ptr<Database> db_;
  const int splitWidth_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;  // guarded by mutex_
  bool closing_ = false;  // guarded by mutex_
  // Written by the writer thread only, read after it has been joined.
  Status failure_ = Status::Ok();
  std::thread writer_;  // last: starts once everything above is constructed
};

std::unique_ptr<WorkDatabase> WorkDatabase::Create(const std::string& path, int splitWidth,
                                                   Status* status) {
  *status = RemoveFormerFiles(path);
  if (!status->ok()) return nullptr;
  std::unique_ptr<Database> db = Database::Open(path, Database::OpenMode::kCreate, status);
  if (db == nullptr) return nullptr;
  // A scratch file that the next run replaces: no journal, no waiting for the disk.
  *status = db->Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;" +
                     CreateLineTableSql("OldText", splitWidth) +
                     CreateLineTableSql("NewText", splitWidth) + "COMMIT;");
  if (!status->ok()) return nullptr;
  return std::unique_ptr<WorkDatabase>(
      new WorkDatabase(std::make_unique<Impl>(std::move(db), splitWidth)));
}

WorkDatabase::WorkDatabase(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

WorkDatabase::~WorkDatabase() = default;

void WorkDatabase::CreateLineTable(const std::string& table) {
  impl_->Enqueue([table, splitWidth = impl_->SplitWidth()](Database& db) {
    return db.Exec(CreateLineTableSql(table, splitWidth));
  });
}

void WorkDatabase::AppendLines(const std::string& table, const LineTable& source,
                               std::vector<int> lineIds) {
  impl_->Enqueue([table, &source, lineIds = std::move(lineIds)](Database& db) {
    return AppendRecords(db, table, static_cast<int>(lineIds.size()),
                         [&](int i) -> const LineRecord* {
                           int lineId = lineIds[i];
                           if (lineId < 1 || lineId > source.Count()) return nullptr;
                           return &source.Line(lineId);
                         });
  });
}

void WorkDatabase::AppendAllLines(const std::string& table, const LineTable& source) {
  impl_->Enqueue([table, &source](Database& db) {
    return AppendRecords(db, table, source.Count(), [&](int i) { return &source.Records()[i]; });
  });
}

void WorkDatabase::CreateTextOrderIndex(const std::string& table) {
  impl_->Enqueue([table](Database& db) {
    return db.Exec("CREATE INDEX " + IndexName(table, "TextOrder") + " ON " +
                   QuoteIdentifier(table) + " (Text COLLATE " + kTextCollationName + ");");
  });
}

Status WorkDatabase::Finish() {
  return impl_->Finish();
}

}  // namespace verko
