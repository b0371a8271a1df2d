#include "cli/report_output.h"

#include <cerrno>

#include "common/encoding.h"
#include "common/system_error.h"
#include "report/line_colors.h"
#include "report/report_decoding.h"
#include "report/report_reader.h"

namespace verko {

bool ParseColorWhen(std::string_view text, ColorWhen* when) {
  if (text == "auto") {
    *when = ColorWhen::kAuto;
  } else if (text == "always") {
    *when = ColorWhen::kAlways;
  } else if (text == "never") {
    *when = ColorWhen::kNever;
  } else {
    return false;
  }
  return true;
}

bool UseColor(ColorWhen when, bool terminal, const char* noColor, const char* term) {
  switch (when) {
    case ColorWhen::kAlways:
      return true;
    case ColorWhen::kNever:
      return false;
    case ColorWhen::kAuto:
      break;
  }
  return terminal && (noColor == nullptr || *noColor == '\0') &&
         (term == nullptr || std::string_view(term) != "dumb");
}

std::string ColorReport(std::string_view report) {
  std::string out;
  out.reserve(report.size() + report.size() / 8);
  std::size_t pos = 0;
  while (pos < report.size()) {
    std::size_t end = report.find('\n', pos);
    end = end == std::string_view::npos ? report.size() : end + 1;
    std::string_view line = report.substr(pos, end - pos);
    std::string_view terminator;
    std::size_t body = line.size();
    while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r')) --body;
    terminator = line.substr(body);
    line = line.substr(0, body);
    ReportLine parsed;
    const LineColor color = ParseBodyLine(line, &parsed) ? ColorOfKind(parsed.kind) : LineColor();
    if (color.colored) {
      out.append("\x1b[").append(std::to_string(color.ansi)).append("m");
      out.append(line);
      out.append("\x1b[0m");
    } else {
      out.append(line);
    }
    out.append(terminator);
    pos = end;
  }
  return out;
}

std::string ConvertForTerminal(std::string_view report, const std::string& codeset) {
  DecodedText decoded = DecodeReportBytes(report);
  if (codeset == "UTF-8") return decoded.utf8;
  return FromUtf8To(codeset.c_str(), decoded.utf8);
}

std::string TerminalCodeset(const std::string& codeset) {
  if (codeset == "UTF-8") return codeset;
  return FromUtf8To(codeset.c_str(), "あア漢字").find('?') == std::string::npos ? codeset : "UTF-8";
}

Status WriteReport(std::string_view report, const ReportOutput& output, std::FILE* out) {
  std::string converted;
  if (output.terminal) {
    converted = ConvertForTerminal(report, output.codeset);
    report = converted;
  }
  std::string colored;
  if (output.color) {
    colored = ColorReport(report);
    report = colored;
  }
  if (std::fwrite(report.data(), 1, report.size(), out) != report.size() || std::fflush(out) != 0) {
    return Status::Error(SystemErrorText(errno));
  }
  return Status::Ok();
}

}  // namespace verko
