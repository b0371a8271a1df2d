#include "report/format_writer.h"

#include "report/taisho_export.h"

namespace verko {
namespace {

std::string InEncoding(const WorkingText& working, std::string_view text, TextEncoding encoding) {
  std::string out;
  std::size_t failedAt = 0;
  // Every character of a file's working text came from that file's encoding, so it goes
  // back; should one not, what came before it is kept.
  working.ToEncoding(text, encoding, &out, &failedAt);
  return out;
}

}  // namespace

std::string ExportInput::Utf8(std::string_view text) const {
  return InEncoding(*working, text, TextEncoding::kUtf8);
}

std::string ExportInput::OldLineBytes(std::string_view text) const {
  return InEncoding(*working, text, oldEncoding);
}

std::string ExportInput::NewLineBytes(std::string_view text) const {
  return InEncoding(*working, text, newEncoding);
}

FormatWriter FindFormatWriter(ResultFormat format) {
  switch (format) {
    case ResultFormat::kUnified:
      return &WriteUnifiedDiff;
    case ResultFormat::kJson:
      return &WriteComparisonJson;
    case ResultFormat::kHtml:
      return &WriteTaishoHtml;
    case ResultFormat::kXlsx:
      return &WriteTaishoXlsx;
    case ResultFormat::kReport:
      break;
  }
  return nullptr;
}

bool NeedsRawLines(ResultFormat format) {
  return format == ResultFormat::kUnified;
}

}  // namespace verko
