// The standard descriptors of a program started with some of them closed (`cmd >&-`, a
// service manager): each closed one is opened on /dev/null at start, so that no file the
// program opens later takes its number and receives what was meant for it.
#pragma once

namespace verko {

struct ClosedStreams {
  bool input = false, output = false, error = false;
};

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed; says which were.
ClosedStreams OpenClosedStandardStreams();

}  // namespace verko
