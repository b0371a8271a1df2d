// Recognises the encoding of a report's bytes (or of any text opened in the report viewer)
// and gives the text as UTF-8. Reports are written in CP932, UTF-8 or EUC-JP.
#pragma once

#include <string>
#include <string_view>

#include "common/text_encoding.h"

namespace verko {

// A report is written in one of the encodings of the compared files.
using ReportEncoding = TextEncoding;

struct DecodedText {
  ReportEncoding encoding = ReportEncoding::kCp932;
  bool byteOrderMark = false;  // a UTF-8 text that began with a byte order mark
  std::string utf8;            // the text without the mark; invalid sequences as U+FFFD
};

// A report is known by the encoding of its title. Other texts: UTF-8 when the bytes begin
// with a byte order mark or are valid UTF-8 throughout; EUC-JP when they are valid EUC-JP
// with at least one double-byte character; otherwise CP932. Never fails.
DecodedText DecodeReportBytes(std::string_view bytes);

// The encoding of a report's bytes, as DecodeReportBytes recognises it, without decoding.
ReportEncoding RecogniseReportEncoding(std::string_view bytes);

// The name shown for an encoding: "Shift_JIS", "UTF-8", "EUC-JP".
const char* EncodingName(ReportEncoding encoding);

}  // namespace verko
