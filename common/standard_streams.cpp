#include "common/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace verko {

ClosedStreams OpenClosedStandardStreams() {
  ClosedStreams closed;
  bool* wasClosed[] = {&closed.input, &closed.output, &closed.error};
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    *wasClosed[fd] = true;
    // The lowest free number is this one: the lower ones are open by now.
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
  return closed;
}

}  // namespace verko
