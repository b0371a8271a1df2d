#!/usr/bin/env bash
# Sets up and runs Verko. Without arguments: compares the bundled samples into
# build/Result.txt. With --gui [OLD [NEW [RESULT]]]: starts the desktop program.
# With other arguments: runs verko-cli with them.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
if [ "${1:-}" = "--gui" ]; then
  shift
  cmake -S . -B build -G Ninja >/dev/null
  cmake --build build --target verko >/dev/null
  exec build/ui/verko "$@"
fi
scripts/build.sh build
if [ $# -eq 0 ]; then
  set +e
  build/verko-cli samples/old.txt samples/new.txt build/Result.txt
  rc=$?
  set -e
  # 1 means the samples differ, which they do.
  [ $rc -le 1 ] || exit $rc
  exit 0
fi
exec build/verko-cli "$@"
