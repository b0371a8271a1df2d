// Fills the b-tree pages of a PageRun with cells: new pages at the end of the run, cells on
// a page, payloads too long for their page on overflow pages, and the page numbers the
// file relocates once it places the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sqlite_format.h"
#include "platform/sqlite_page_run.h"
#include "platform/sqlite_record.h"

namespace verko {

// Appends pages to a run and fills them; every page number written is recorded as a link.
class RunBuilder {
 public:
  explicit RunBuilder(PageRun* run) : run_(*run) {}

  uint32_t NewPage() {
    run_.pages.append(kSqlitePageSize, '\0');
    return run_.PageCount() - 1;
  }

  void PutPageNumber(std::size_t offset, uint32_t page) {
    Put4(&run_.pages[offset], page);
    run_.links.push_back(static_cast<uint32_t>(offset));
  }

  // Stores `rest` on a chain of new overflow pages and returns the first.
  uint32_t WriteOverflow(std::string_view rest);

  char* At(std::size_t offset) { return &run_.pages[offset]; }

 private:
  PageRun& run_;
};

// One b-tree page being filled: cell pointers grow from the header, cell contents grow down
// from the end of the page, and the free space between them stays unallocated.
class PageFiller {
 public:
  PageFiller(RunBuilder* builder, PageType type, uint32_t headerOffset = 0)
      : builder_(*builder),
        type_(type),
        page_(builder->NewPage()),
        headerOffset_(headerOffset),
        contentStart_(kUsableSize) {}

  uint32_t Page() const { return page_; }

  // Takes room for a cell of `size` bytes below the cells so far and adds its pointer;
  // where in the run the cell goes.
  std::size_t StartCell(uint32_t size) {
    contentStart_ -= size;
    const std::size_t pageStart = std::size_t{page_} * kSqlitePageSize;
    Put2(builder_.At(pageStart + headerOffset_ + PageHeaderSize(type_) +
                     kCellPointerSize * cellCount_),
         contentStart_);
    ++cellCount_;
    return pageStart + contentStart_;
  }

  // Adds a cell. `payload` is absent on table interior pages, `rowid` on index pages,
  // `leftChild` on leaf pages.
  void AddCell(std::string_view payload, int64_t rowid, uint32_t leftChild);

  // Adds a leaf cell of `record` (its Size() given as `payloadSize`, `cellSize` the cell's
  // size), encoded straight onto the page. A record too long for the page goes the way of
  // AddCell, through `scratch`.
  void AddRecordCell(const RecordEncoder& record, uint32_t payloadSize, uint32_t cellSize,
                     int64_t rowid, std::string& scratch) {
    if (LocalPayload(payloadSize, MaxLocal(type_)) < payloadSize) {
      scratch.clear();
      record.AppendTo(&scratch);
      AddCell(scratch, rowid, 0);
      return;
    }
    char* at = builder_.At(StartCell(cellSize));
    at += PutVarint(payloadSize, at);
    if (type_ == kTableLeaf) at += PutVarint(static_cast<uint64_t>(rowid), at);
    record.WriteTo(at);
  }

  // Writes the page header; `rightChild` only on interior pages.
  void Finish(uint32_t rightChild = 0);

 private:
  RunBuilder& builder_;
  const PageType type_;
  const uint32_t page_;
  const uint32_t headerOffset_;
  uint32_t contentStart_;
  uint32_t cellCount_ = 0;
};

}  // namespace verko
