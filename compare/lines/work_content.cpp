#include "compare/lines/work_content.h"

#include <string_view>

#include "platform/record_store.h"

namespace verko {
namespace {

// The statements as SQLite records them in sqlite_schema: the text as written, without
// the closing ';'.
std::string CreateTableSql(const std::string& table, int splitWidth) {
  return "CREATE TABLE " + QuoteIdentifier(table) +
         " (LineID SMALLINT, LineNo SMALLINT, PartNo SMALLINT, Text VARCHAR(" +
         std::to_string(splitWidth) + "))";
}

std::string CreateLineIdOrderSql(const std::string& table) {
  return "CREATE UNIQUE INDEX " + QuoteIdentifier(IndexName(table, "LineIdOrder")) + " ON " +
         QuoteIdentifier(table) + " (LineID)";
}

std::string CreateTextOrderSql(const std::string& table) {
  return "CREATE INDEX " + QuoteIdentifier(IndexName(table, "TextOrder")) + " ON " +
         QuoteIdentifier(table) + " (Text COLLATE " + kTextCollationName + ")";
}

// SQLite's names ignore the case of ASCII letters.
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::string IndexName(const std::string& table, const char* index) {
  return table + "_" + index;
}

WorkTableContent* FindTable(WorkContent& content, const std::string& name) {
  for (WorkTableContent& table : content.tables) {
    if (SameName(table.name, name)) return &table;
  }
  return nullptr;
}

Status DatabaseError(const std::string& message) {
  return Status::Error("データベースの操作に失敗しました。(" + message + ")");
}

Status NoSuchTable(const std::string& table) {
  return DatabaseError("no such table: " + table);
}

Status AddLineTable(WorkContent& content, const std::string& name) {
  if (FindTable(content, name) != nullptr) {
    return DatabaseError("table " + QuoteIdentifier(name) + " already exists");
  }
  const std::size_t index = content.tables.size();
  content.tables.push_back(WorkTableContent{});
  content.tables.back().name = name;
  content.schema.push_back(
      {index, WorkSchemaItem::Tree::kTable, name, CreateTableSql(name, content.splitWidth)});
  content.schema.push_back({index, WorkSchemaItem::Tree::kLineIdOrder,
                            IndexName(name, "LineIdOrder"), CreateLineIdOrderSql(name)});
  return Status::Ok();
}

Status AddTextOrder(WorkContent& content, const std::string& name,
                    std::vector<int> lineIdsInOrder) {
  WorkTableContent* table = FindTable(content, name);
  if (table == nullptr) return NoSuchTable(name);
  const std::string index = IndexName(table->name, "TextOrder");
  if (table->textOrder) return DatabaseError("index " + QuoteIdentifier(index) + " already exists");
  table->textOrder = true;
  table->textOrderLineIds = std::move(lineIdsInOrder);
  table->textTreeBuilt = false;
  content.schema.push_back({static_cast<std::size_t>(table - content.tables.data()),
                            WorkSchemaItem::Tree::kTextOrder, index, CreateTextOrderSql(name)});
  return Status::Ok();
}

}  // namespace verko
