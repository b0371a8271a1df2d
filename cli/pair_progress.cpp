#include "cli/pair_progress.h"

#include "cli/output_errors.h"

namespace verko {

void PairProgress::Show(int done, int total) {
  done_ = done;
  total_ = total;
  Draw();
}

void PairProgress::Print(std::FILE* stream, const std::string& line) {
  const bool wasDrawn = drawn_;
  Clear();
  std::fputs(line.c_str(), stream);
  std::fputc('\n', stream);
  FlushOutput(stream);
  if (wasDrawn) Draw();
}

void PairProgress::Clear() {
  if (!drawn_) return;
  std::fputs("\r\x1b[K", err_);
  std::fflush(err_);
  drawn_ = false;
}

void PairProgress::Draw() {
  if (!show_ || total_ == 0) return;
  std::fprintf(err_, "\r\x1b[K比較中 %d/%d", done_, total_);
  std::fflush(err_);
  drawn_ = true;
}

}  // namespace verko
