#include "compare/piece_writer.h"

#include <optional>
#include <string_view>
#include <utility>

#include "common/failure_reason.h"
#include "common/own_thread.h"

namespace verko {

bool PieceWriter::Queue(std::string& piece) {
  if (!threadAsked_) {
    threadAsked_ = true;
    StartOwnThread(thread_, [this] { Run(); });
  }
  if (!thread_.joinable()) {
    failed_ = failed_ || !EncodeAndWrite(piece);
    piece.clear();
    return !failed_;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  taken_.wait(lock, [this] { return !waiting_ || failed_; });
  if (failed_) return false;
  // The piece and the memory of one written before change places.
  next_.swap(piece);
  piece.clear();
  waiting_ = true;
  lock.unlock();
  handed_.notify_one();
  return true;
}

bool PieceWriter::Finish(std::string& last) {
  if (thread_.joinable()) {
    if (!last.empty()) Queue(last);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ending_ = true;
    }
    handed_.notify_one();
    thread_.join();
  } else if (!failed_ && !last.empty()) {
    failed_ = !EncodeAndWrite(last);
    last.clear();
  }
  return !failed_;
}

void PieceWriter::Run() {
  // A failure here (too little memory to encode a piece) must not end the program: it is
  // the run's failure, said when it hands over its next piece or finishes.
  try {
    WritePieces();
  } catch (...) {
    failure_ = Failure();
    failure_.status = Status::Error(CurrentFailureReason());
    {
      std::lock_guard<std::mutex> lock(mutex_);
      failed_ = true;
    }
    taken_.notify_one();
  }
}

void PieceWriter::WritePieces() {
  std::string piece;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      handed_.wait(lock, [this] { return waiting_ || ending_; });
      if (!waiting_) return;
      // The piece written last, emptied, waits in its place to be handed back.
      piece.clear();
      piece.swap(next_);
      waiting_ = false;
    }
    taken_.notify_one();
    if (!EncodeAndWrite(piece)) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        failed_ = true;
      }
      taken_.notify_one();
      return;
    }
  }
}

bool PieceWriter::EncodeAndWrite(std::string_view piece) {
  std::size_t failedAt = 0;
  const std::optional<std::size_t> length =
      working_.ToEncodingOver(piece, encoding_, &encoded_, &failedAt);
  if (!length) {
    failure_.encoding = true;
    failure_.piece = piece;
    failure_.failedAt = failedAt;
    return false;
  }
  failure_.status = file_.Write(std::string_view(encoded_).substr(0, *length));
  return failure_.status.ok();
}

}  // namespace verko
