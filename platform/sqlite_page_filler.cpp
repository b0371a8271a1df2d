#include "platform/sqlite_page_filler.h"

#include <algorithm>
#include <cstring>

namespace verko {

uint32_t RunBuilder::WriteOverflow(std::string_view rest) {
  uint32_t first = run_.PageCount();
  while (!rest.empty()) {
    uint32_t page = NewPage();
    std::size_t start = std::size_t{page} * kSqlitePageSize;
    std::size_t chunk = std::min<std::size_t>(rest.size(), kOverflowData);
    std::memcpy(&run_.pages[start + 4], rest.data(), chunk);
    rest.remove_prefix(chunk);
    if (!rest.empty()) PutPageNumber(start, page + 1);
  }
  return first;
}

void PageFiller::AddCell(std::string_view payload, int64_t rowid, uint32_t leftChild) {
  const uint32_t payloadSize = static_cast<uint32_t>(payload.size());
  std::size_t at = StartCell(CellSize(type_, payloadSize, rowid));
  if (!IsLeaf(type_)) {
    builder_.PutPageNumber(at, leftChild);
    at += 4;
  }
  if (type_ == kTableInterior) {
    PutVarint(static_cast<uint64_t>(rowid), builder_.At(at));
    return;
  }
  at += PutVarint(payloadSize, builder_.At(at));
  if (type_ == kTableLeaf) at += PutVarint(static_cast<uint64_t>(rowid), builder_.At(at));
  const uint32_t local = LocalPayload(payloadSize, MaxLocal(type_));
  std::memcpy(builder_.At(at), payload.data(), local);
  at += local;
  if (local < payloadSize) {
    uint32_t first = builder_.WriteOverflow(payload.substr(local));
    builder_.PutPageNumber(at, first);
  }
}

void PageFiller::Finish(uint32_t rightChild) {
  char* header = builder_.At(std::size_t{page_} * kSqlitePageSize + headerOffset_);
  header[0] = static_cast<char>(type_);
  Put2(header + 1, 0);  // no freeblocks
  Put2(header + 3, cellCount_);
  Put2(header + 5, contentStart_);
  header[7] = 0;  // no fragmented bytes
  if (!IsLeaf(type_)) {
    builder_.PutPageNumber(std::size_t{page_} * kSqlitePageSize + headerOffset_ + 8, rightChild);
  }
}

}  // namespace verko
