// The progress line of a run of many pairs on the terminal ("比較中 12/300"), kept on one
// line of stderr and cleared whenever a line of output is printed.
#pragma once

#include <cstdio>
#include <string>

namespace verko {

class PairProgress {
 public:
  // Nothing is drawn unless `show` (stderr is a terminal and the run is not quiet).
  PairProgress(std::FILE* err, bool show) : err_(err), show_(show) {}
  ~PairProgress() { Clear(); }

  void Show(int done, int total);
  // Prints one line on `stream` with the progress line out of the way, then draws it again.
  void Print(std::FILE* stream, const std::string& line);
  void Clear();

 private:
  void Draw();

  std::FILE* err_;
  bool show_;
  bool drawn_ = false;
  int done_ = 0, total_ = 0;
};

}  // namespace verko
