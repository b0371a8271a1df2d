// Reading the input files of a run that decodes (every run but CP932 files into a CP932
// report): each file is turned into the run's text form before its lines are taken in,
// since that form depends on both files' encodings. A large new file is read and decoded
// on a thread of its own while the old one is.
#pragma once

#include <string>

#include "common/input_file.h"
#include "common/status.h"
#include "common/text_encoding.h"
#include "common/working_text.h"
#include "compare/line_intake.h"
#include "compare/lines/run_flags.h"

namespace verko {

// What reading and decoding one file gave.
struct DecodedFile {
  Status status = Status::Ok();  // of the reading
  bool held = true;              // false: too many distinct characters beyond CP932
  int invalidLines = 0;          // lines holding bytes not valid in the file's encoding
  // Read only as far as intake can reach (IntakeReach): the rest lies beyond the line limit.
  bool cutShort = false;
  // The file began with a UTF-8 byte order mark (which is not part of its first line).
  bool byteOrderMark = false;
};

struct DecodedInputs {
  DecodedFile oldFile, newFile;
};

// Reads the two files, of named encodings, each decoded as it is read, into `oldText` and
// `newText` with the run's `working` text, each no further than intake can reach with
// `splitWidth`; their undecoded bytes are never held whole.
// Either read stops when `flags` ask the run to stop. The codes the working text gives out
// (for characters beyond CP932, invalid bytes) follow the order of the files, whichever
// thread decoded them. The new file's outcome counts only when the old file was read and
// held and no stop was asked: the run judges the files in their order. Closes each file it
// reads.
DecodedInputs ReadBothDecoded(InputFile& oldFile, TextEncoding oldEncoding, InputFile& newFile,
                              TextEncoding newEncoding, WorkingText& working, int splitWidth,
                              const RunFlags& flags, std::string& oldText, std::string& newText);

// Reads a file whole, or as far as intake can reach with `splitWidth` (for "auto", which
// looks at the content before it decodes). A file read only that far loses the bytes of a
// character cut at the end, which would only look invalid. The cancel command stops it.
// `content` may hold the file's head already (ReadHead): the reading goes on after it.
Status ReadUndecoded(InputFile& file, int splitWidth, const RunFlags& flags, std::string& content);

// Reads a file's first piece into `head` (empty on a failure or a stop), as ReadUndecoded
// would read it first: enough for "auto" to tell a CP932 file, which is then taken in as it
// is read rather than read whole first.
Status ReadHead(InputFile& file, const RunFlags& flags, std::string& head);

// Turns the content of a file read whole into the run's text form, in place. False when
// the working text cannot hold its characters. A comparison of CP932 files into a CP932
// report takes the bytes as they always were, invalid ones included, without counting.
bool DecodeContent(WorkingText& working, TextEncoding encoding, std::string& content,
                   int* invalidLines);

}  // namespace verko
