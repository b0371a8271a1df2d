#include "platform/sqlite_record.h"

#include <array>
#include <cstring>
#include <stdexcept>

#include "platform/sqlite_format.h"

namespace verko {
namespace {

// The serial type of an integer by the number of bits of its magnitude (SQLite stores it
// in 1, 2, 3, 4, 6 or 8 bytes with one bit to spare for the sign), with its byte count.
struct IntType {
  uint8_t type;
  uint8_t bytes;
};
constexpr IntType IntTypeForBits(int bits) {
  return bits <= 7    ? IntType{1, 1}
         : bits <= 15 ? IntType{2, 2}
         : bits <= 23 ? IntType{3, 3}
         : bits <= 31 ? IntType{4, 4}
         : bits <= 47 ? IntType{5, 6}
                      : IntType{6, 8};
}
constexpr auto kIntTypes = [] {
  std::array<IntType, 65> types{};
  for (int bits = 0; bits <= 64; ++bits) types[bits] = IntTypeForBits(bits);
  return types;
}();

}  // namespace

RecordEncoder::Column& RecordEncoder::Next() {
  if (count_ == kMaxColumns) throw std::length_error("a record of more than eight values");
  return columns_[count_++];
}

void RecordEncoder::AddInt(int64_t value) {
  Column& column = Next();
  column.value = value;
  typeBytes_ += 1;
  if (value == 0 || value == 1) {
    column.type = 8 + static_cast<uint64_t>(value);  // constants in schema format 4
    return;
  }
  const uint64_t magnitude = static_cast<uint64_t>(value < 0 ? ~value : value);
  const IntType type = kIntTypes[magnitude == 0 ? 0 : 64 - __builtin_clzll(magnitude)];
  column.type = type.type;
  bodyBytes_ += type.bytes;
}

void RecordEncoder::AddText(std::string_view bytes) {
  Column& column = Next();
  column.type = 13 + 2 * static_cast<uint64_t>(bytes.size());
  column.text = bytes.data();
  typeBytes_ += static_cast<std::size_t>(VarintLength(column.type));
  bodyBytes_ += bytes.size();
}

std::size_t RecordEncoder::HeaderBytes() const {
  // The header size counts its own varint, which may grow by the byte it adds.
  std::size_t header = typeBytes_ + 1;
  if (VarintLength(header) > 1) header = typeBytes_ + VarintLength(typeBytes_ + 2);
  return header;
}

std::size_t RecordEncoder::Size() const {
  return HeaderBytes() + bodyBytes_;
}

void RecordEncoder::AppendTo(std::string* out) const {
  const std::size_t start = out->size();
  out->resize(start + Size());
  WriteTo(out->data() + start);
}

void RecordEncoder::WriteTo(char* out) const {
  // The bytes of an integer of serial types 0 to 9 (NULL, 1 to 8 bytes, the constants).
  static constexpr uint8_t kIntBytes[10] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
  char* types = out;
  char* body = out + HeaderBytes();
  types += PutVarint(HeaderBytes(), types);
  for (int i = 0; i < count_; ++i) {
    const Column& column = columns_[i];
    types += PutVarint(column.type, types);
    if (column.type >= 13) {
      const std::size_t bytes = (column.type - 13) / 2;
      if (bytes != 0) std::memcpy(body, column.text, bytes);
      body += bytes;
    } else {
      // An integer, big-endian in as many bytes as its type says.
      const uint32_t bytes = kIntBytes[column.type];
      const uint64_t bits = static_cast<uint64_t>(column.value);
      for (uint32_t k = 0; k < bytes; ++k)
        body[k] = static_cast<char>(bits >> (8 * (bytes - 1 - k)));
      body += bytes;
    }
  }
}

}  // namespace verko
