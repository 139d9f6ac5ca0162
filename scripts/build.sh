#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures and builds one build tree.
# ccache is used when it is installed (it only speeds up rebuilds).  The
# output of cmake and ninja goes to DIR/build.log.
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$dir"
STEP_LOG="$(cd "$dir" && pwd)/build.log"
source "$root/scripts/steps.sh"
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
step "build: configuring $dir" cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
step "build: compiling $dir" cmake --build "$dir" -j "$(nproc)"
