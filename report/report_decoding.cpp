#include "report/report_decoding.h"

#include "common/encoding.h"
#include "common/text_encoding.h"

namespace verko {
namespace {

// The beginning of header line 1 of every report, in UTF-8.
constexpr std::string_view kTitleStart = "Verko（テキストファイル比較）";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

ReportEncoding RecogniseReportEncoding(std::string_view bytes) {
  const bool byteOrderMark = HasUtf8Bom(bytes);
  const std::string_view text = byteOrderMark ? bytes.substr(kUtf8Bom.size()) : bytes;
  // A report names its encoding by its title; other texts are judged by their bytes.
  if (byteOrderMark || StartsWith(text, kTitleStart)) return ReportEncoding::kUtf8;
  if (std::string title;
      EncodeFromUtf8(kTitleStart, TextEncoding::kEucJp, &title) && StartsWith(text, title)) {
    return ReportEncoding::kEucJp;
  }
  if (StartsWith(text, ToCp932(kTitleStart))) return ReportEncoding::kCp932;
  return DetectEncoding(text);
}

DecodedText DecodeReportBytes(std::string_view bytes) {
  DecodedText decoded;
  decoded.byteOrderMark = HasUtf8Bom(bytes);
  decoded.encoding = RecogniseReportEncoding(bytes);
  decoded.utf8 = DecodeToUtf8(bytes, decoded.encoding);
  return decoded;
}

const char* EncodingName(ReportEncoding encoding) {
  switch (encoding) {
    case ReportEncoding::kUtf8:
      return "UTF-8";
    case ReportEncoding::kEucJp:
      return "EUC-JP";
    case ReportEncoding::kUtf16Le:
    case ReportEncoding::kUtf16Be:
      return EncodingCaption(encoding);
    case ReportEncoding::kCp932:
      break;
  }
  return "Shift_JIS";
}

}  // namespace verko
