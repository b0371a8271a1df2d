// The report of a run that decodes goes to the result file in the report's encoding. Into
// UTF-8 or EUC-JP, encoding a large report takes about as long as building it, so from its
// first full piece on the pieces are encoded and written on a thread of their own, in
// order, while the next piece is built; a report of one piece is written in place. The
// first failure (a character the encoding cannot hold, a write the file refuses) stops the
// writing: later pieces are dropped, and the run learns of it when it hands over the next
// piece or finishes.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

#include "common/status.h"
#include "common/text_encoding.h"
#include "common/working_text.h"
#include "compare/result_file.h"

namespace verko {

class PieceWriter {
 public:
  // `working` and `file` must outlive the writer; `working` is only read meanwhile.
  PieceWriter(const WorkingText& working, TextEncoding encoding, ResultFile& file)
      : working_(working), encoding_(encoding), file_(file) {}
  ~PieceWriter() { Finish(); }
  PieceWriter(const PieceWriter&) = delete;
  PieceWriter& operator=(const PieceWriter&) = delete;

  // Queues a piece of whole lines for writing; `piece` is left empty (with memory for the
  // next). False once a piece has failed.
  bool Queue(std::string& piece);
  // Writes the last piece (left empty) and waits until every piece is written; false when
  // one failed.
  bool Finish(std::string& last);
  bool Finish() {
    std::string none;
    return Finish(none);
  }

  // What failed, once Queue or Finish said so: the piece whose character at `failedAt` the
  // encoding cannot hold, or else the status of the write.
  struct Failure {
    bool encoding = false;
    std::string piece;
    std::size_t failedAt = 0;
    Status status = Status::Ok();
  };
  const Failure& failure() const { return failure_; }

 private:
  // The thread: writes the pieces as they come; whatever fails ends the writing.
  void Run();
  void WritePieces();
  // Encodes and writes a piece; false (with failure_ set) when it cannot.
  bool EncodeAndWrite(std::string_view piece);

  const WorkingText& working_;
  const TextEncoding encoding_;
  ResultFile& file_;
  std::string encoded_;  // used by the thread only
  Failure failure_;      // written by the thread before it sets failed_
  std::mutex mutex_;
  std::condition_variable handed_;  // a piece waits, or the end
  std::condition_variable taken_;   // the waiting piece was taken, or a piece failed
  std::string next_;                // the piece waiting; empty memory when none waits
  bool waiting_ = false;            // guarded by mutex_, as are the two below
  bool ending_ = false;
  bool failed_ = false;
  // Started with the first piece queued; without it (the system gave none) the pieces
  // are written in place.
  std::thread thread_;
  bool threadAsked_ = false;
};

}  // namespace verko
