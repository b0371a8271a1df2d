#include "ui/viewer/report_file.h"

#include <string>

#include "common/input_file.h"
#include "report/report_writer.h"

namespace verko {
namespace {

std::string TooLargeText(std::uint64_t most) {
  return "ファイルが大きすぎます（比較結果は " + std::to_string(most / (1024 * 1024)) +
         " MB を超えません）。";
}

}  // namespace

Status LoadReportFile(const std::string& path, LoadedReport* report) {
  InputFile file;
  Status status = file.Open(path);
  if (!status.ok()) return status;
  // A pipe or a device may never end, or never deliver: only a file can be a report.
  if (!file.IsRegular()) {
    return Status::Error("通常のファイルではありません（デバイスや名前付きパイプは開けません）。");
  }
  // Also keeps the lines' 32-bit offsets into the text far from their end.
  const std::uint64_t most = LargestReportBytes();
  if (file.Length() > most) return Status::Error(TooLargeText(most));
  std::string bytes;
  // One byte beyond the largest report tells a file that grew past it since it was opened.
  status = ReadAllBytes(file, bytes, nullptr, most + 1);
  if (!status.ok()) return status;
  if (bytes.size() > most) return Status::Error(TooLargeText(most));
  DecodedText decoded = DecodeReportBytes(bytes);
  bytes = std::string();
  report->encoding = decoded.encoding;
  report->document = ReportDocument::Parse(std::move(decoded.utf8));
  return Status::Ok();
}

}  // namespace verko
