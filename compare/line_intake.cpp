#include "compare/line_intake.h"

#include <algorithm>
#include <cstring>

#include "common/cp932.h"
#include "common/rounding.h"
#include "compare/lines/line_splitter.h"

namespace verko {
namespace {

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
