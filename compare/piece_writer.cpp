#include "compare/piece_writer.h"

#include <optional>
#include <string_view>
#include <utility>

namespace verko {

PieceWriter::PieceWriter(const WorkingText& working, TextEncoding encoding, ResultFile& file)
    : working_(working), encoding_(encoding), file_(file), thread_([this] { Run(); }) {}

bool PieceWriter::Hand(std::string& piece) {
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

bool PieceWriter::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  handed_.notify_one();
  if (thread_.joinable()) thread_.join();
  return !failed_;
}

void PieceWriter::Run() {
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
    if (!Write(piece)) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        failed_ = true;
      }
      taken_.notify_one();
      return;
    }
  }
}

bool PieceWriter::Write(const std::string& piece) {
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
