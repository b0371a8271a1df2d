// What the comparison writes into the work database as it goes: the line tables, their
// copies of leftover lines and the text indexes. The comparison itself works from memory;
// this interface keeps the database file showing what the run did. An implementation may
// write on another thread: a LineTable passed in must stay alive and unchanged until the
// store has been finished.
#pragma once

#include <string>
#include <vector>

#include "compare/lines/line_table.h"

namespace verko {

class WorkStore {
 public:
  virtual ~WorkStore() = default;

  // Creates an empty line table (LineID, LineNo, PartNo, Text) with its primary index
  // LineIdOrder on LineID.
  virtual void CreateLineTable(const std::string& table) = 0;
  // Appends the records of `source` whose LineIDs are listed, in that order.
  virtual void AppendLines(const std::string& table, const LineTable& source,
                           std::vector<int> lineIds) = 0;
  // Appends every record of `source`.
  virtual void AppendAllLines(const std::string& table, const LineTable& source) = 0;
  // Creates the index TextOrder on the table's Text field.
  virtual void CreateTextOrderIndex(const std::string& table) = 0;
  // The same, given the table's LineIDs already in text order (equal texts by LineID), as
  // matching has them, so that the store need not sort the texts again.
  virtual void CreateTextOrderIndex(const std::string& table, std::vector<int> lineIdsInOrder) {
    (void)lineIdsInOrder;
    CreateTextOrderIndex(table);
  }
};

// A store that keeps nothing: for tests of the stages and for callers without a database.
class NullWorkStore : public WorkStore {
 public:
  void CreateLineTable(const std::string&) override {}
  void AppendLines(const std::string&, const LineTable&, std::vector<int>) override {}
  void AppendAllLines(const std::string&, const LineTable&) override {}
  void CreateTextOrderIndex(const std::string&) override {}
  void CreateTextOrderIndex(const std::string&, std::vector<int>) override {}
};

}  // namespace verko
