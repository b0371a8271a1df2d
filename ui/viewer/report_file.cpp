#include "ui/viewer/report_file.h"

#include "compare/input_file.h"

namespace verko {

Status LoadReportFile(const std::string& path, LoadedReport* report) {
  InputFile file;
  Status status = file.Open(path);
  std::string bytes;
  if (status.ok()) status = file.ReadAll(bytes);
  if (!status.ok()) return status;
  DecodedText decoded = DecodeReportBytes(bytes);
  bytes = std::string();
  report->encoding = decoded.encoding;
  report->document = ReportDocument::Parse(std::move(decoded.utf8));
  return Status::Ok();
}

}  // namespace verko
