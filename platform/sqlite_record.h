// Encodes one row or index entry in SQLite's record format, the payload of a b-tree cell,
// from the values it is given, straight to where the record goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/sqlite_format.h"

namespace verko {

// One record in SQLite's record format: a header of serial types, then the values. The
// values are only noted as they are added and encoded once, when the record is written,
// so a text is copied once, straight to where the record goes. Reusable: Clear() empties it.
// The small steps are inline: a work database adds and writes hundreds of thousands of
// records, where a call per value would cost more than the value's encoding.
class RecordEncoder {
 public:
  // A record holds at most this many values (AddInt and AddText throw beyond it).
  static constexpr int kMaxColumns = 8;

  void Clear() {
    count_ = 0;
    typeBytes_ = 0;
    bodyBytes_ = 0;
  }
  void AddInt(int64_t value) {
    Column& column = Next();
    column.value = value;
    typeBytes_ += 1;
    if (value == 0 || value == 1) {
      column.type = 8 + static_cast<uint64_t>(value);  // constants in schema format 4
      return;
    }
    const uint64_t magnitude = static_cast<uint64_t>(value < 0 ? ~value : value);
    const int bits = magnitude == 0 ? 0 : 64 - __builtin_clzll(magnitude);
    // SQLite stores an integer in 1, 2, 3, 4, 6 or 8 bytes, one bit spared for the sign.
    const uint8_t type = bits <= 7    ? 1
                         : bits <= 15 ? 2
                         : bits <= 23 ? 3
                         : bits <= 31 ? 4
                         : bits <= 47 ? 5
                                      : 6;
    column.type = type;
    bodyBytes_ += IntBytes(type);
  }
  // Stored as a TEXT value with exactly these bytes (an empty view is '', never NULL). The
  // bytes must stay unchanged until the record has been written.
  void AddText(std::string_view bytes) {
    Column& column = Next();
    column.type = 13 + 2 * static_cast<uint64_t>(bytes.size());
    column.text = bytes.data();
    typeBytes_ += static_cast<std::size_t>(VarintLength(column.type));
    bodyBytes_ += bytes.size();
  }

  std::size_t Size() const { return HeaderBytes() + bodyBytes_; }
  void AppendTo(std::string* out) const;
  // Writes the record's Size() bytes at `out`.
  void WriteTo(char* out) const {
    const std::size_t header = HeaderBytes();
    char* types = out;
    char* body = out + header;
    types += PutVarint(header, types);
    for (int i = 0; i < count_; ++i) {
      const Column& column = columns_[i];
      types += PutVarint(column.type, types);
      if (column.type >= 13) {
        const std::size_t bytes = (column.type - 13) / 2;
        if (bytes != 0) std::memcpy(body, column.text, bytes);
        body += bytes;
      } else {
        body += PutBigEndian(static_cast<uint64_t>(column.value), IntBytes(column.type), body);
      }
    }
  }

 private:
  // A value as noted: its serial type, and the integer or where the text's bytes are (the
  // length of either follows from the type).
  struct Column {
    uint64_t type;
    union {
      int64_t value;
      const char* text;
    };
  };

  // The bytes of an integer of serial types 0 to 9 (NULL, 1 to 8 bytes, the constants).
  static uint32_t IntBytes(uint64_t type) {
    static constexpr uint8_t kIntBytes[10] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
    return kIntBytes[type];
  }

  // The low `bytes` bytes of `bits`, most significant first; returns `bytes`. A store of a
  // known width each, which the compiler turns into a few instructions.
  template <uint32_t kBytes>
  static void PutBytes(uint64_t bits, char* out) {
    for (uint32_t k = 0; k < kBytes; ++k)
      out[k] = static_cast<char>(bits >> (8 * (kBytes - 1 - k)));
  }
  static uint32_t PutBigEndian(uint64_t bits, uint32_t bytes, char* out) {
    switch (bytes) {
      case 0:
        break;
      case 1:
        PutBytes<1>(bits, out);
        break;
      case 2:
        PutBytes<2>(bits, out);
        break;
      case 3:
        PutBytes<3>(bits, out);
        break;
      case 4:
        PutBytes<4>(bits, out);
        break;
      case 6:
        PutBytes<6>(bits, out);
        break;
      default:
        PutBytes<8>(bits, out);
        break;
    }
    return bytes;
  }

  Column& Next();
  [[noreturn]] static void ThrowTooManyValues();

  std::size_t HeaderBytes() const {
    // The header size counts its own varint, which may grow by the byte it adds.
    std::size_t header = typeBytes_ + 1;
    if (header > 0x7f) header = typeBytes_ + VarintLength(typeBytes_ + 2);
    return header;
  }

  Column columns_[kMaxColumns];
  int count_ = 0;
  std::size_t typeBytes_ = 0;  // the serial types as varints
  std::size_t bodyBytes_ = 0;
};

inline RecordEncoder::Column& RecordEncoder::Next() {
  if (count_ == kMaxColumns) [[unlikely]]
    ThrowTooManyValues();
  return columns_[count_++];
}

}  // namespace verko
