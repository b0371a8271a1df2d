#include "platform/record_store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/cp932.h"
#include "common/system_error.h"
#include "common/text_collation.h"
#include "platform/sqlite_library.h"

namespace verko {
namespace {

// What went wrong, in words a user understands, for the result codes users meet.
std::string CauseText(int code, int systemErrno) {
  switch (code & 0xff) {
    case SQLITE_CANTOPEN:
      return systemErrno != 0 ? SystemErrorText(systemErrno) : "データベースファイルを開けません。";
    case SQLITE_IOERR:
      return systemErrno != 0 ? SystemErrorText(systemErrno) : "入出力エラーが発生しました。";
    case SQLITE_FULL:
      return "ディスクの空き容量が不足しています。";
    case SQLITE_READONLY:
      return "データベースが読み取り専用のため書き込めません。";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "データベースが他のプログラムで使用中です。";
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return "アクセスが拒否されました。";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return "データベースファイルが壊れているか、データベースではありません。";
    case SQLITE_NOMEM:
      return "メモリが不足しています。";
    case SQLITE_CONSTRAINT:
      return "記録しようとした値がデータベースの制約に反しています。";
    case SQLITE_TOOBIG:
      return "データが大きすぎます。";
    default:
      return "データベースの操作に失敗しました。";
  }
}

// The failure `code` of the last call on `db`, with SQLite's own message in parentheses.
Status ErrorStatus(sqlite3* db, int code) {
  // The system's error number only explains failures to open, read or write the file;
  // for other codes it may be left over from an earlier, harmless call.
  int primary = code & 0xff;
  int systemErrno = (db != nullptr && (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR))
                        ? Sqlite().system_errno(db)
                        : 0;
  const char* message = db != nullptr ? Sqlite().errmsg(db) : Sqlite().errstr(code);
  std::string reason = CauseText(code, systemErrno);
  if (message != nullptr && *message != '\0') reason += std::string("(") + message + ")";
  return Status::Error(std::move(reason));
}

Status ClosedStatus() {
  return Status::Error("データベースが閉じられています。");
}

int CollateVerkoText(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return CompareFolded(
      std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

int OpenFlags(Database::OpenMode mode) {
  switch (mode) {
    case Database::OpenMode::kCreate:
      return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    case Database::OpenMode::kReadWrite:
      return SQLITE_OPEN_READWRITE;
    case Database::OpenMode::kReadOnly:
      return SQLITE_OPEN_READONLY;
  }
  return SQLITE_OPEN_READONLY;
}

}  // namespace

std::string QuoteIdentifier(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

// Statement

Statement::~Statement() {
  // A statement never prepared may outlive a failed load of the library.
  if (stmt_ != nullptr) Sqlite().finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : stmt_(other.stmt_) {
  other.stmt_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    if (stmt_ != nullptr) Sqlite().finalize(stmt_);
    stmt_ = other.stmt_;
    other.stmt_ = nullptr;
  }
  return *this;
}

Status Statement::BindResult(int code) {
  return code == SQLITE_OK ? Status::Ok() : ErrorStatus(Sqlite().db_handle(stmt_), code);
}

Status Statement::BindInt(int index, int64_t value) {
  return BindResult(Sqlite().bind_int64(stmt_, index, value));
}

Status Statement::BindNull(int index) {
  return BindResult(Sqlite().bind_null(stmt_, index));
}

Status Statement::BindText(int index, std::string_view bytes) {
  // A null data pointer would bind a null; an empty view must stay a zero-length text.
  const char* data = bytes.empty() ? "" : bytes.data();
  return BindResult(
      Sqlite().bind_text(stmt_, index, data, static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
}

Status Statement::Step(bool* hasRow) {
  int code = Sqlite().step(stmt_);
  *hasRow = code == SQLITE_ROW;
  if (code == SQLITE_ROW || code == SQLITE_DONE) return Status::Ok();
  return ErrorStatus(Sqlite().db_handle(stmt_), code);
}

Status Statement::Run() {
  bool hasRow = false;
  Status status = Step(&hasRow);
  while (status.ok() && hasRow) status = Step(&hasRow);
  Sqlite().reset(stmt_);
  return status;
}

void Statement::Reset() {
  Sqlite().reset(stmt_);
}

int Statement::ColumnCount() const {
  return Sqlite().column_count(stmt_);
}

bool Statement::ColumnIsNull(int column) const {
  return Sqlite().column_type(stmt_, column) == SQLITE_NULL;
}

int64_t Statement::ColumnInt(int column) const {
  return Sqlite().column_int64(stmt_, column);
}

double Statement::ColumnDouble(int column) const {
  return Sqlite().column_double(stmt_, column);
}

std::string Statement::ColumnText(int column) const {
  // Read as a blob: the bytes as stored, whatever they hold, NUL bytes included.
  const void* data = Sqlite().column_blob(stmt_, column);
  int length = Sqlite().column_bytes(stmt_, column);
  if (data == nullptr || length <= 0) return std::string();
  return std::string(static_cast<const char*>(data), static_cast<std::size_t>(length));
}

// Database

std::unique_ptr<Database> Database::Open(const std::string& path, OpenMode mode, Status* status) {
  if (std::string failure; !LoadSqlite(&failure)) {
    *status = Status::Error(std::move(failure));
    return nullptr;
  }
  sqlite3* db = nullptr;
  int code = Sqlite().open_v2(path.c_str(), &db, OpenFlags(mode), nullptr);
  if (code == SQLITE_OK) {
    Sqlite().extended_result_codes(db, 1);
    code = Sqlite().create_collation_v2(db, kTextCollationName, SQLITE_UTF8, nullptr,
                                        CollateVerkoText, nullptr);
  }
  if (code != SQLITE_OK) {
    *status = ErrorStatus(db, code);
    Sqlite().close_v2(db);  // a handle comes back even from a failed open
    return nullptr;
  }
  *status = Status::Ok();
  return std::unique_ptr<Database>(new Database(db));
}

Database::~Database() {
  Sqlite().close_v2(db_);
}

Status Database::Exec(const std::string& sql) {
  if (db_ == nullptr) return ClosedStatus();
  int code = Sqlite().exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  return code == SQLITE_OK ? Status::Ok() : ErrorStatus(db_, code);
}

Status Database::Prepare(const std::string& sql, Statement* statement) {
  if (db_ == nullptr) return ClosedStatus();
  sqlite3_stmt* stmt = nullptr;
  int code = Sqlite().prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
  if (code != SQLITE_OK) return ErrorStatus(db_, code);
  *statement = Statement(stmt);
  return Status::Ok();
}

Status Database::Close() {
  if (db_ == nullptr) return ClosedStatus();
  int code = Sqlite().close(db_);
  if (code != SQLITE_OK) return ErrorStatus(db_, code);
  db_ = nullptr;
  return Status::Ok();
}

int64_t Database::LastInsertRowId() const {
  return db_ != nullptr ? Sqlite().last_insert_rowid(db_) : 0;
}

// Transaction

Transaction::~Transaction() {
  if (open_) db_.Exec("ROLLBACK");
}

Status Transaction::Begin() {
  Status status = db_.Exec("BEGIN");
  open_ = status.ok();
  return status;
}

Status Transaction::Commit() {
  Status status = db_.Exec("COMMIT");
  if (status.ok()) open_ = false;
  return status;
}

}  // namespace verko
