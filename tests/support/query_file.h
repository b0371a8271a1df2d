// Reads a database file through the record store, the way a user's SQL tool would.
#pragma once

#include <string>
#include <vector>

#include "platform/record_store.h"

namespace verko::test_support {

// Every row of `sql` as its columns joined by "|", a null shown as NULL; an error as one
// row "error: " + reason.
inline std::vector<std::string> QueryFile(const std::string& path, const std::string& sql) {
  Status status = Status::Ok();
  auto db = Database::Open(path, Database::OpenMode::kReadOnly, &status);
  if (db == nullptr) return {"error: " + status.reason()};
  Statement query;
  status = db->Prepare(sql, &query);
  std::vector<std::string> rows;
  bool hasRow = false;
  while (status.ok() && (status = query.Step(&hasRow)).ok() && hasRow) {
    std::string row;
    for (int column = 0; column < query.ColumnCount(); ++column) {
      if (column > 0) row += "|";
      row += query.ColumnIsNull(column) ? "NULL" : query.ColumnText(column);
    }
    rows.push_back(row);
  }
  if (!status.ok()) rows.push_back("error: " + status.reason());
  return rows;
}

}  // namespace verko::test_support
