#include "compare/line_intake.h"

#include <algorithm>
#include <cstring>

#include "common/cp932.h"
#include "common/rounding.h"

namespace verko {
namespace {

// Cuts a file's content into lines: CR LF, CR alone and LF alone each end a line and are
// not part of it; a last line without terminator counts, an empty tail does not. The next
// CR and the next LF are each found with one memchr that is reused until the scan passes
// it, so the whole content is searched once even when only one kind of line end occurs.
class LineSplitter {
 public:
  explicit LineSplitter(std::string_view content) : content_(content) {}

  bool AtEnd() const { return pos_ >= content_.size(); }
  // Bytes consumed so far, line ends included.
  std::size_t Position() const { return pos_; }

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

// The head of `text` as SplitLine cuts it, and the number of bytes it consumed. Only a
// window a little wider than the split width is handed over: no piece that ends beyond
// the width can be part of the head, so the cut is the same, while a line of megabytes is
// not searched and copied once per part.
std::size_t CutHead(std::string_view text, const IntakeOptions& options, std::string& head) {
  std::size_t window = ByteOffsetOfChar(text, static_cast<std::size_t>(options.splitWidth) + 64);
  head.assign(text.substr(0, window));
  std::string rest;
  SplitLine(head, rest, options.splitWidth, options.splitChar);
  return window - rest.size();
}

class Intake {
 public:
  Intake(const IntakeOptions& options, FileRole role, CompareHost& host, LineTable& table)
      : options_(options), role_(role), host_(host), table_(table) {}

  // Stores one normalised line, in parts when it is too wide. False when the line limit
  // stopped the file.
  bool StoreLine(int lineNo, std::string line) {
    if (ByteLength(line) <= options_.splitWidth) return Append(lineNo, 0, std::move(line));
    std::string_view remaining = line;
    std::string head;
    int partNo = 0;
    while (true) {
      std::size_t consumed = CutHead(remaining, options_, head);
      if (!Append(lineNo, ++partNo, head)) return false;
      remaining.remove_prefix(consumed);
      if (remaining.empty()) return true;
    }
  }

 private:
  bool Append(int lineNo, int partNo, std::string text) {
    if (table_.Count() >= kMaxLines) {
      host_.ShowLineLimitMessage(LineLimitMessage(role_), kLineLimitTitle);
      return false;
    }
    table_.Append(lineNo, partNo, std::move(text));
    return true;
  }

  const IntakeOptions& options_;
  FileRole role_;
  CompareHost& host_;
  LineTable& table_;
};

}  // namespace

std::string LineLimitMessage(FileRole role) {
  return std::string(role == FileRole::kOld ? "旧ファイル" : "新ファイル") +
         ": 処理できる最大行数（" + std::to_string(kMaxLines) +
         "）を超えました。\nそれ以降のテキストは無視して続行します。";
}

Flow ReadLines(std::string_view content, const IntakeOptions& options, FileRole role,
               CompareHost& host, ProgressMeter& progress, LineTable& table) {
  Intake intake(options, role, host, table);
  const double length = static_cast<double>(content.size());
  int reportedTicks = 0;
  int lineNo = 0;
  LineSplitter lines(content);
  while (!lines.AtEnd()) {
    std::string_view raw = lines.Next();
    ++lineNo;
    if (!intake.StoreLine(lineNo, NormalizeLine(raw, options.normalize))) break;
    // Progress by bytes read, in steps of 128 bytes: at most 15 per file.
    int ticks = RoundHalfEven(static_cast<double>(lines.Position() / 128 * 128) / length * 15);
    if (ticks > reportedTicks) {
      Flow flow = progress.Step(ticks - reportedTicks);
      reportedTicks = ticks;
      if (flow == Flow::kCancel) return Flow::kCancel;
    }
  }
  return Flow::kContinue;
}

}  // namespace verko
