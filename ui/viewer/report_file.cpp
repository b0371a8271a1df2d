#include "ui/viewer/report_file.h"

#include "common/input_file.h"
#include "report/result_format.h"

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
  // Another format's result (a workbook's bytes, say) is never shown as a report's lines.
  if (ResultFormat format; RecogniseResultFormat(bytes, &format)) {
    return Status::Error(std::string("比較結果レポートではなく、") + ResultFormatCaption(format) +
                         " のファイルです。このファイルはその形式を開くアプリケーションで開いてく"
                         "ださい。");
  }
  DecodedText decoded = DecodeReportBytes(bytes);
  bytes = std::string();
  report->encoding = decoded.encoding;
  report->document = ReportDocument::Parse(std::move(decoded.utf8));
  return Status::Ok();
}

}  // namespace verko
