#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures and builds one build tree.
# ccache is used when it is installed (it only speeds up rebuilds).
set -euo pipefail
dir=$1; shift
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
