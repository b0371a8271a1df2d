// The record store: a thin RAII layer over SQLite 3 for the work database and the batch-list
// database. Every failure comes back as a Status whose reason a user can read (Japanese for
// the common causes, SQLite's own message in parentheses). Nothing here throws. Every
// connection knows the collation "VerkoText", the order and equality of line texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/status.h"

struct sqlite3;
struct sqlite3_stmt;

namespace verko {

// Name of the collation of line texts, registered on every connection opened here: the
// order and equality of CompareFolded.
inline constexpr const char* kTextCollationName = "VerkoText";

class Database;

// One prepared statement. Move-only; finalized when destroyed. Parameter indexes count
// from 1, column indexes from 0, as in SQL.
class Statement {
 public:
  Statement() = default;
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Status BindInt(int index, int64_t value);
  Status BindNull(int index);
  // Binds the bytes as text, copied: the view may go away after the call. An empty view
  // binds a zero-length text, never a null.
  Status BindText(int index, std::string_view bytes);

  // Runs the statement to its next row. *hasRow tells whether a row is there to read;
  // false when the statement is done.
  Status Step(bool* hasRow);
  // Runs a statement that returns no rows to its end and resets it for the next run.
  Status Run();
  // Makes the statement ready to run again; the bindings stay.
  void Reset();

  // Columns of the rows this statement returns.
  int ColumnCount() const;
  bool ColumnIsNull(int column) const;
  int64_t ColumnInt(int column) const;
  double ColumnDouble(int column) const;
  // The column's bytes as stored (NUL bytes included); empty for a null.
  std::string ColumnText(int column) const;

 private:
  friend class Database;
  explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
  Status BindResult(int code);

  sqlite3_stmt* stmt_ = nullptr;
};

class Database {
 public:
  enum class OpenMode {
    kCreate,     // creates the file when it does not exist; read-write
    kReadWrite,  // the file must exist
    kReadOnly,   // the file must exist
  };

  // Opens the database file at `path`. On failure returns null and sets *status.
  static std::unique_ptr<Database> Open(const std::string& path, OpenMode mode, Status* status);
  ~Database();  // closes, ignoring errors
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs one or more statements that return no rows.
  Status Exec(const std::string& sql);
  // Prepares one statement into *statement.
  Status Prepare(const std::string& sql, Statement* statement);
  // Closes the connection; every Statement of it must have been destroyed. Later calls
  // fail. Returns the failure of the close itself.
  Status Close();

  // The row id of the last row inserted through this connection.
  int64_t LastInsertRowId() const;

 private:
  explicit Database(sqlite3* db) : db_(db) {}
  sqlite3* db_;
};

// A transaction that rolls back unless committed. Begin() must succeed before Commit().
class Transaction {
 public:
  explicit Transaction(Database& db) : db_(db) {}
  ~Transaction();  // rolls back an open transaction, ignoring errors
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  Status Begin();
  Status Commit();

 private:
  Database& db_;
  bool open_ = false;
};

// An SQL identifier in double quotes (inner quotes doubled), for table and index names.
std::string QuoteIdentifier(std::string_view name);

}  // namespace verko
