// Builds SQLite table and index b-trees from data already in b-tree order: each tree is
// loaded bottom up in one pass (leaves left to right, then the interior levels) into a
// PageRun that the file writer then places in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/sqlite_page_run.h"
#include "platform/sqlite_record.h"

namespace verko {

// Builds a table b-tree from its rows, given in rowid order: each row is encoded onto its
// leaf page as it is added, so the builder keeps no copy of the rows besides the pages.
class TableTreeBuilder {
 public:
  // The tree's pages go into the memory of `reuse` (a run no longer needed) when given.
  explicit TableTreeBuilder(PageRun reuse = {});
  ~TableTreeBuilder();
  TableTreeBuilder(const TableTreeBuilder&) = delete;
  TableTreeBuilder& operator=(const TableTreeBuilder&) = delete;
  // Adds the row; a rowid that does not follow the last one is refused (false), in every
  // build, so that a caller's fault can never make a damaged tree.
  bool Add(int64_t rowid, const RecordEncoder& record);
  // Page memory for `rows` records of `bytes` in all, so that adding them copies no page.
  void Reserve(std::size_t rows, std::size_t bytes);
  // The tree; the builder is used up.
  PageRun Build();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Builds an index b-tree from its entries (key values, then the rowid), given in index
// order: each entry goes onto its leaf page as it is added, only the few that divide the
// leaves are kept for the levels above.
class IndexTreeBuilder {
 public:
  explicit IndexTreeBuilder(PageRun reuse = {});
  ~IndexTreeBuilder();
  IndexTreeBuilder(const IndexTreeBuilder&) = delete;
  IndexTreeBuilder& operator=(const IndexTreeBuilder&) = delete;
  // The texts of the record must stay unchanged until Build(): an entry is written onto
  // its page a little later, once it is known whether it divides two leaves.
  void Add(const RecordEncoder& record);
  // Page memory for `entries` records of `bytes` in all.
  void Reserve(std::size_t entries, std::size_t bytes);
  PageRun Build();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace verko
