#include "compare/lines/raw_lines.h"

namespace verko {

std::string_view RawLines::End(int lineNo) const {
  switch (ends_[lineNo - 1]) {
    case kLf:
      return "\n";
    case kCr:
      return "\r";
    case kCrLf:
      return "\r\n";
    case kNone:
      break;
  }
  return {};
}

void RawLines::Append(std::string_view text, std::string_view end) {
  bytes_.append(text);
  starts_.push_back(bytes_.size());
  ends_.push_back(end == "\r\n" ? kCrLf : end == "\r" ? kCr : end == "\n" ? kLf : kNone);
}

void RawLines::CompleteCrLf() {
  if (!ends_.empty() && ends_.back() == kCr) ends_.back() = kCrLf;
}

}  // namespace verko
