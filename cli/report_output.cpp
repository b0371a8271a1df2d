#include "cli/report_output.h"

#include <cerrno>
#include <vector>

#include "common/encoding.h"
#include "common/system_error.h"
#include "report/changed_characters.h"
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

namespace {

// The changed characters inside a coloured line: reverse video, ended without ending the
// line's colour.
constexpr std::string_view kMarkOn = "\x1b[7m";
constexpr std::string_view kMarkOff = "\x1b[27m";

struct OutputLine {
  std::string_view body, terminator;
  LineKind kind = LineKind::kPlain;
  std::vector<ByteRange> marks;  // changed characters, within the line's own text
};

std::vector<OutputLine> SplitOutputLines(std::string_view report) {
  std::vector<OutputLine> lines;
  std::size_t pos = 0;
  while (pos < report.size()) {
    std::size_t end = report.find('\n', pos);
    end = end == std::string_view::npos ? report.size() : end + 1;
    std::string_view line = report.substr(pos, end - pos);
    std::size_t body = line.size();
    while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r')) --body;
    OutputLine output;
    output.body = line.substr(0, body);
    output.terminator = line.substr(body);
    ReportLine parsed;
    if (ParseBodyLine(output.body, &parsed)) output.kind = parsed.kind;
    lines.push_back(std::move(output));
    pos = end;
  }
  return lines;
}

void MarkChangedCharacters(std::vector<OutputLine>& lines, TextEncoding encoding,
                           ChangeUnits units) {
  std::vector<LineKind> kinds;
  std::vector<std::string_view> texts;
  kinds.reserve(lines.size());
  texts.reserve(lines.size());
  for (const OutputLine& line : lines) {
    kinds.push_back(line.kind);
    texts.push_back(line.kind == LineKind::kPlain ? std::string_view()
                                                  : line.body.substr(kBodyTextColumn));
  }
  for (ChangedLineMarks& marks : MarkChangedLines(kinds, texts, encoding, units)) {
    lines[marks.line].marks = std::move(marks.ranges);
  }
}

void AppendColored(std::string& out, const OutputLine& line, const LineColor& color) {
  out.append("\x1b[").append(std::to_string(color.ansi)).append("m");
  std::size_t pos = 0;
  for (const ByteRange& mark : line.marks) {
    const std::size_t begin = kBodyTextColumn + mark.begin, end = kBodyTextColumn + mark.end;
    out.append(line.body.substr(pos, begin - pos)).append(kMarkOn);
    out.append(line.body.substr(begin, end - begin)).append(kMarkOff);
    pos = end;
  }
  out.append(line.body.substr(pos));
  out.append("\x1b[0m");
}

}  // namespace

std::string ColorReport(std::string_view report, std::optional<TextEncoding> encoding,
                        ChangeUnits units) {
  std::vector<OutputLine> lines = SplitOutputLines(report);
  if (encoding) MarkChangedCharacters(lines, *encoding, units);
  std::string out;
  out.reserve(report.size() + report.size() / 8);
  for (const OutputLine& line : lines) {
    const LineColor color = ColorOfKind(line.kind);
    if (color.colored) {
      AppendColored(out, line, color);
    } else {
      out.append(line.body);
    }
    out.append(line.terminator);
  }
  return out;
}

std::optional<TextEncoding> EncodingOfCodeset(const std::string& codeset) {
  EncodingChoice choice = EncodingChoice::kAuto;
  if (!ParseEncodingName(codeset, &choice)) return std::nullopt;
  switch (choice) {
    case EncodingChoice::kCp932:
      return TextEncoding::kCp932;
    case EncodingChoice::kUtf8:
      return TextEncoding::kUtf8;
    case EncodingChoice::kEucJp:
      return TextEncoding::kEucJp;
    case EncodingChoice::kAuto:
      break;
  }
  return std::nullopt;
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
    colored = ColorReport(
        report,
        output.terminal ? EncodingOfCodeset(output.codeset) : RecogniseReportEncoding(report),
        output.units);
    report = colored;
  }
  if (std::fwrite(report.data(), 1, report.size(), out) != report.size() || std::fflush(out) != 0) {
    return Status::Error(SystemErrorText(errno));
  }
  return Status::Ok();
}

}  // namespace verko
