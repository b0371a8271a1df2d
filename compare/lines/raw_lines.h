// The physical lines of a compared file as they were read: each line's own text before
// trimming, compressing or cutting, and the line end that closed it. Kept only for the
// result formats that give the files' own lines back (a patch).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace verko {

class RawLines {
 public:
  int Count() const { return static_cast<int>(ends_.size()); }
  // Line `lineNo` (counted from 1, as LineRecord::LineNo) without its line end.
  std::string_view Text(int lineNo) const {
    return std::string_view(bytes_).substr(starts_[lineNo - 1],
                                           starts_[lineNo] - starts_[lineNo - 1]);
  }
  // The line end of line `lineNo`: "\r\n", "\r", "\n", or empty for a last line without one.
  std::string_view End(int lineNo) const;

  // Bytes of the file before its first line that are no part of it (a UTF-8 byte order
  // mark), in the file's own encoding.
  std::string_view Lead() const { return lead_; }
  void SetLead(std::string_view lead) { lead_ = lead; }

  // Appends the next line (its text copied) with the line end that closed it.
  void Append(std::string_view text, std::string_view end);
  // The last line's CR turned out to be the first half of a CR LF.
  void CompleteCrLf();

 private:
  enum EndKind : std::uint8_t { kNone, kLf, kCr, kCrLf };
  std::string lead_;
  std::string bytes_;
  std::vector<std::size_t> starts_{0};  // where each line begins in bytes_, and the end
  std::vector<std::uint8_t> ends_;
};

}  // namespace verko
