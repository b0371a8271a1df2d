#include "compare/report_destination.h"

#include <utility>

namespace verko {

ReportDestination::ReportDestination(const WorkingText& working, TextEncoding encoding,
                                     ResultFile& file, const ReportSink& sink)
    : working_(working), encoding_(encoding), file_(file), sink_(sink) {
  if (!sink_ && working_.DecodesAll()) pieces_.emplace(working_, encoding_, file_);
}

std::function<bool(std::string&)> ReportDestination::PieceTaker() {
  if (sink_) return {};
  return [this](std::string& piece) { return TakePiece(piece); };
}

bool ReportDestination::TakePiece(std::string& piece) {
  if (failed_) return false;
  if (pieces_) return pieces_->Queue(piece) || FailPieces();
  Status status = file_.Write(piece);
  piece.clear();
  return status.ok() || FailWrite(std::move(status));
}

bool ReportDestination::Finish(std::string& rest) {
  if (failed_) return false;
  if (sink_) return FinishSink(rest);
  if (pieces_) {
    if (!pieces_->Finish(rest)) return FailPieces();
  } else if (!TakePiece(rest)) {
    return false;
  }
  Status status = file_.Close();
  return status.ok() || FailWrite(std::move(status));
}

bool ReportDestination::FinishSink(std::string& report) {
  if (working_.DecodesAll()) {
    std::string bytes;
    std::size_t failedAt = 0;
    if (!working_.ToEncoding(report, encoding_, &bytes, &failedAt)) {
      PieceWriter::Failure failure;
      failure.encoding = true;
      failure.piece = std::move(report);
      failure.failedAt = failedAt;
      return Fail(std::move(failure));
    }
    report.swap(bytes);
  }
  Status status = sink_(report);
  return status.ok() || FailWrite(std::move(status));
}

bool ReportDestination::FailWrite(Status status) {
  PieceWriter::Failure failure;
  failure.status = std::move(status);
  return Fail(std::move(failure));
}

bool ReportDestination::Fail(PieceWriter::Failure failure) {
  failure_ = std::move(failure);
  failed_ = true;
  return false;
}

// Once the piece writer has stopped: after a character the encoding cannot hold, nothing of
// the report stays in the file.
bool ReportDestination::FailPieces() {
  pieces_->Finish();
  if (pieces_->failure().encoding) file_.Discard();
  return Fail(pieces_->failure());
}

}  // namespace verko
