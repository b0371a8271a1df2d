#include "ui/viewer/report_file.h"

#include "common/input_file.h"

namespace verko {
namespace {

constexpr std::size_t kMaxViewedBytes = std::size_t{1} << 30;

}  // namespace

Status LoadReportFile(const std::string& path, LoadedReport* report) {
  InputFile file;
  Status status = file.Open(path);
  std::string bytes;
  if (status.ok()) status = ReadAllBytes(file, bytes);
  if (!status.ok()) return status;
  // Lines are held as 32-bit offsets into the text; no report comes near this size.
  if (bytes.size() > kMaxViewedBytes) return Status::Error("ファイルが大きすぎて表示できません。");
  DecodedText decoded = DecodeReportBytes(bytes);
  bytes = std::string();
  report->encoding = decoded.encoding;
  report->document = ReportDocument::Parse(std::move(decoded.utf8));
  return Status::Ok();
}

}  // namespace verko
