#!/usr/bin/env bash
# Runs a test program on a virtual X server (Xvfb) with a real window manager (openbox), so
# that windows get frames, are placed and stacked as on a user's desktop.
# Usage: run_under_x.sh PROGRAM [ARGS...]; VERKO_X_SCREEN sets the screen (1280x1024x24).
# Exit status: the program's; 77 (skipped) only when the X server cannot be started at all.
set -u

if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is not installed (scripts/install-deps.sh installs it): skipped" >&2
  exit 77
fi
if ! command -v openbox >/dev/null 2>&1; then
  echo "openbox is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/verko-x-XXXXXX")
xvfb_pid=""
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The test's own home, temporary and XDG folders: nothing of the user's is read or written.
mkdir -p "$work/home" "$work/tmp" "$work/config" "$work/data" "$work/cache" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work/home" TMPDIR="$work/tmp" XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"

# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 "${VERKO_X_SCREEN:-1280x1024x24}" -dpi 96 -nolisten tcp 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb could not be started: skipped" >&2
  cat "$work/xvfb.log" >&2
  exit 77
fi
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!

# The test program waits for the window manager itself (it reads the root window).
export QT_QPA_PLATFORM=xcb
"$@"
status=$?
if [ "$status" -ne 0 ]; then
  echo "--- openbox log" >&2
  cat "$work/openbox.log" >&2
fi
exit "$status"
