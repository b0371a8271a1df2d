// The fixed numbers and byte encodings of SQLite's file format shared by the record encoder,
// the b-tree pages and the file header: page types and sizes, big-endian integers, varints,
// and how much of a cell's payload stays on its page.
#pragma once

#include <cstdint>

#include "platform/sqlite_page_run.h"

namespace verko {

inline constexpr uint32_t kUsableSize = kSqlitePageSize;  // no reserved bytes at the end of pages
inline constexpr uint32_t kFileHeaderSize = 100;
// The payload bytes an overflow page holds after the number of the next one.
inline constexpr uint32_t kOverflowData = kUsableSize - 4;
// How much of a payload a cell keeps on its own page; the rest goes to overflow pages.
inline constexpr uint32_t kMinLocal = (kUsableSize - 12) * 32 / 255 - 23;
inline constexpr uint32_t kMaxLocalTableLeaf = kUsableSize - 35;
inline constexpr uint32_t kMaxLocalIndex = (kUsableSize - 12) * 64 / 255 - 23;
// SQLite counts a cell as at least four bytes, so a shorter one is padded to that.
inline constexpr uint32_t kMinCellSize = 4;
inline constexpr uint32_t kCellPointerSize = 2;

enum PageType : uint8_t {
  kIndexInterior = 2,
  kTableInterior = 5,
  kIndexLeaf = 10,
  kTableLeaf = 13,
};

inline bool IsLeaf(PageType type) {
  return type == kIndexLeaf || type == kTableLeaf;
}

inline uint32_t PageHeaderSize(PageType type) {
  return IsLeaf(type) ? 8 : 12;
}

// The bytes of a page of `type` for its cells and their pointers.
inline uint32_t PageCapacity(PageType type) {
  return kUsableSize - PageHeaderSize(type);
}

inline void Put2(char* out, uint32_t value) {
  out[0] = static_cast<char>(value >> 8);
  out[1] = static_cast<char>(value);
}

inline void Put4(char* out, uint32_t value) {
  out[0] = static_cast<char>(value >> 24);
  out[1] = static_cast<char>(value >> 16);
  out[2] = static_cast<char>(value >> 8);
  out[3] = static_cast<char>(value);
}

inline uint32_t Get4(const char* in) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(in);
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
         bytes[3];
}

inline int VarintLength(uint64_t value) {
  if (value <= 0x7f) return 1;
  if (value > 0x00ffffffffffffffULL) return 9;
  // Seven bits a byte.
  return (64 - __builtin_clzll(value) + 6) / 7;
}

// SQLite's varint of a value above 0x7f (see PutVarint), written from its last byte back,
// so that no buffer is needed.
inline int PutLongVarint(uint64_t value, char* out) {
  if (value > 0x00ffffffffffffffULL) {
    out[8] = static_cast<char>(value & 0xff);
    value >>= 8;
    for (int i = 7; i >= 0; --i) {
      out[i] = static_cast<char>((value & 0x7f) | 0x80);
      value >>= 7;
    }
    return 9;
  }
  const int length = VarintLength(value);
  out[length - 1] = static_cast<char>(value & 0x7f);
  for (int i = length - 2; i >= 0; --i) {
    value >>= 7;
    out[i] = static_cast<char>((value & 0x7f) | 0x80);
  }
  return length;
}

// SQLite's varint: big-endian groups of 7 bits, the high bit set on all but the last byte;
// a ninth byte, when needed, carries 8 bits. Most varints written are one or two bytes.
inline int PutVarint(uint64_t value, char* out) {
  if (value <= 0x7f) {
    out[0] = static_cast<char>(value);
    return 1;
  }
  if (value <= 0x3fff) {
    out[0] = static_cast<char>(0x80 | (value >> 7));
    out[1] = static_cast<char>(value & 0x7f);
    return 2;
  }
  return PutLongVarint(value, out);
}

// The bytes of a payload of `payload` bytes that its cell keeps on the page.
inline uint32_t LocalPayload(uint32_t payload, uint32_t maxLocal) {
  if (payload <= maxLocal) return payload;
  uint32_t local = kMinLocal + (payload - kMinLocal) % kOverflowData;
  return local <= maxLocal ? local : kMinLocal;
}

inline uint32_t MaxLocal(PageType type) {
  return type == kTableLeaf ? kMaxLocalTableLeaf : kMaxLocalIndex;
}

// Bytes the cell takes on its page (without its pointer).
inline uint32_t CellSize(PageType type, uint32_t payload, int64_t rowid) {
  uint32_t size = 0;
  if (!IsLeaf(type)) size += 4;
  if (type == kTableInterior) {
    size += VarintLength(static_cast<uint64_t>(rowid));
  } else {
    uint32_t local = LocalPayload(payload, MaxLocal(type));
    size += VarintLength(payload) + local + (local < payload ? 4 : 0);
    if (type == kTableLeaf) size += VarintLength(static_cast<uint64_t>(rowid));
  }
  return size < kMinCellSize ? kMinCellSize : size;
}

}  // namespace verko
