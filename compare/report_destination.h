// Where a run's report goes, and in what bytes: into the result file as it is built (a
// CP932 report as it stands, a report to encode through the piece writer), or whole to a
// sink (standard output). The first failure (a character the report encoding cannot hold,
// a write refused) stops the writing; after a character the encoding cannot hold nothing of
// the report stays in the file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/status.h"
#include "common/text_encoding.h"
#include "common/working_text.h"
#include "compare/piece_writer.h"
#include "compare/result_file.h"

namespace verko {

using ReportSink = std::function<Status(std::string_view report)>;

class ReportDestination {
 public:
  // The report goes to `sink` when it is set, else into `file`, which must be open. All
  // three must outlive the destination; `working` is only read meanwhile.
  ReportDestination(const WorkingText& working, TextEncoding encoding, ResultFile& file,
                    const ReportSink& sink);

  // For the report writer: takes a piece of whole lines and leaves it empty; false once the
  // report cannot be written. Empty for a sink, which takes the report whole.
  std::function<bool(std::string&)> PieceTaker();
  // Takes the rest of the report (for a sink, all of it) and completes the writing (the
  // file is closed). False when the report could not be written; failure() says why.
  bool Finish(std::string& rest);
  // Whether a piece has failed already.
  bool Failed() const { return failed_; }
  // What failed: the text whose character at `failedAt` the encoding cannot hold, or else
  // the status of the write.
  const PieceWriter::Failure& failure() const { return failure_; }

 private:
  bool TakePiece(std::string& piece);
  bool FinishSink(std::string& report);
  // Each notes the failure and returns false.
  bool Fail(PieceWriter::Failure failure);
  bool FailWrite(Status status);
  bool FailPieces();

  const WorkingText& working_;
  const TextEncoding encoding_;
  ResultFile& file_;
  const ReportSink& sink_;
  std::optional<PieceWriter> pieces_;  // for a report to encode into the file
  PieceWriter::Failure failure_;
  bool failed_ = false;
};

}  // namespace verko
