// A text file held as its lines, for editing in place (the viewer's merge view): each line
// as the bytes of the file's own encoding, so that a line nobody touched is written back
// byte for byte (invalid sequences too), with the file's byte order mark and line end.
// Written back whole: the file is replaced only once the new content is complete, and the
// former content is kept as NAME.orig the first time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "common/text_encoding.h"

namespace verko {

struct LineFile {
  TextEncoding encoding = TextEncoding::kCp932;
  bool bom = false;                // a UTF-8 byte order mark
  std::string lineEnd = "\r\n";    // the file's first line end; CR LF for a file without
  bool endsWithLineEnd = true;     // the last line has its line end
  std::vector<std::string> lines;  // in `encoding`, without their line ends

  // The whole file as it would be written.
  std::string Bytes() const;
};

// Reads `path` in `encoding` (as the comparison recognised it). CR LF, CR and LF each end a
// line. A UTF-16 file is refused: it cannot be written back.
Status ReadLineFile(const std::string& path, TextEncoding encoding, LineFile* file);

// `utf8` (a line as the viewer shows it) in `encoding`. False when the encoding cannot hold
// some of its characters: *missing then lists each of them once, in order.
bool EncodeLine(std::string_view utf8, TextEncoding encoding, std::string* bytes,
                std::string* missing);

// Writes `file` to `path`: the former content is first kept as `path`.orig when no such
// file exists yet; then the new content is written beside and put in place of the file
// (its permissions kept) in one step. Nothing is changed when either step fails.
Status WriteLineFile(const std::string& path, const LineFile& file);

}  // namespace verko
