// Cuts a text into lines at CR LF, CR alone or LF alone, the line ends of every text the
// program reads (compared files and reports alike).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace verko {

// Cuts a file's content into lines: CR LF, CR alone and LF alone each end a line and are
// not part of it; a last line without terminator counts, an empty tail does not. The next
// CR and the next LF are each found with one memchr that is reused until the scan passes
// it, so the whole content is searched once even when only one kind of line end occurs.
class LineSplitter {
 public:
  explicit LineSplitter(std::string_view content) : content_(content) {}

  bool AtEnd() const { return pos_ >= content_.size(); }

  std::string_view Next() {
    const std::size_t start = pos_;
    const std::size_t end = std::min(NextOf('\r', nextCr_), NextOf('\n', nextLf_));
    if (end == content_.size()) {
      pos_ = end;
      return content_.substr(start);
    }
    pos_ = end + 1;
    if (content_[end] == '\r' && pos_ < content_.size() && content_[pos_] == '\n') ++pos_;
    return content_.substr(start, end - start);
  }

 private:
  // The position of the next `c` at or after pos_ (content size when there is none).
  std::size_t NextOf(char c, std::size_t& cached) {
    if (cached < pos_ || cached == kUnknown) {
      const void* found = std::memchr(content_.data() + pos_, c, content_.size() - pos_);
      cached = found ? static_cast<const char*>(found) - content_.data() : content_.size();
    }
    return cached;
  }

  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  std::string_view content_;
  std::size_t pos_ = 0;
  std::size_t nextCr_ = kUnknown;
  std::size_t nextLf_ = kUnknown;
};

}  // namespace verko
