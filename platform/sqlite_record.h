// Encodes one row or index entry in SQLite's record format, the payload of a b-tree cell,
// from the values it is given, straight to where the record goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace verko {

// One record in SQLite's record format: a header of serial types, then the values. The
// values are only noted as they are added and encoded once, when the record is written,
// so a text is copied once, straight to where the record goes. Reusable: Clear() empties it.
class RecordEncoder {
 public:
  // A record holds at most this many values (AddInt and AddText throw beyond it).
  static constexpr int kMaxColumns = 8;

  void Clear() {
    count_ = 0;
    typeBytes_ = 0;
    bodyBytes_ = 0;
  }
  void AddInt(int64_t value);
  // Stored as a TEXT value with exactly these bytes (an empty view is '', never NULL). The
  // bytes must stay unchanged until the record has been written.
  void AddText(std::string_view bytes);

  std::size_t Size() const;
  void AppendTo(std::string* out) const;
  // Writes the record's Size() bytes at `out`.
  void WriteTo(char* out) const;

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
  Column& Next();
  std::size_t HeaderBytes() const;

  Column columns_[kMaxColumns];
  int count_ = 0;
  std::size_t typeBytes_ = 0;  // the serial types as varints
  std::size_t bodyBytes_ = 0;
};

}  // namespace verko
