#include "platform/sqlite_record.h"

#include <stdexcept>

namespace verko {

void RecordEncoder::ThrowTooManyValues() {
  throw std::length_error("a record of more than eight values");
}

void RecordEncoder::AppendTo(std::string* out) const {
  const std::size_t start = out->size();
  out->resize(start + Size());
  WriteTo(out->data() + start);
}

}  // namespace verko
