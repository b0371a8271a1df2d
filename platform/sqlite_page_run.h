// The pages of one b-tree as they are built in memory, before the file gives them their
// place: what the b-tree builders hand to the file writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace verko {

// The page size of the files written here.
inline constexpr uint32_t kSqlitePageSize = 4096;

// The pages of one b-tree. Page numbers inside count from 0 within the run until the file
// places the run; `links` lists where they are stored.
struct PageRun {
  std::string pages;            // PageCount() pages of kSqlitePageSize bytes
  std::vector<uint32_t> links;  // byte offsets of 4-byte page numbers to relocate
  uint32_t root = 0;            // the root page within the run

  uint32_t PageCount() const { return static_cast<uint32_t>(pages.size() / kSqlitePageSize); }
  // Empties the run, keeping its memory for the next tree.
  void Clear() {
    pages.clear();
    links.clear();
    root = 0;
  }
};

}  // namespace verko
