#!/usr/bin/env bash
# Configures and builds Verko into build/ (or the folder given as $1, with extra CMake args).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
# ccache, where installed, keeps rebuilds of several checkouts short.
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -- -j"$(nproc)"
