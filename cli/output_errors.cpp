#include "cli/output_errors.h"

#include <atomic>
#include <cerrno>

namespace verko {
namespace {

std::atomic<int> g_firstOutputError{0};

}  // namespace

void FlushOutput(std::FILE* stream) {
  if (std::fflush(stream) == 0 || stream != stdout) return;
  int none = 0;
  g_firstOutputError.compare_exchange_strong(none, errno != 0 ? errno : EIO);
}

int FirstOutputError() {
  return g_firstOutputError.load();
}

}  // namespace verko
