#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures and builds one build tree (only
# the targets named in BUILD_TARGETS, when it is set).
# ccache is used when it is installed (it only speeds up rebuilds).  The
# output of cmake and ninja goes to DIR/build.log.
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$dir"
STEP_LOG="$(cd "$dir" && pwd)/build.log"
source "$root/scripts/steps.sh"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  # The sloppiness lets ccache cache the sources built with a precompiled header.
  cc="env;CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime;ccache"
  launcher=("-DCMAKE_CXX_COMPILER_LAUNCHER=$cc" "-DCMAKE_C_COMPILER_LAUNCHER=$cc")
fi
# Line tables only (-g1): backtraces and sanitizer reports name files and
# lines, and the build takes far less time and space than with full debug
# information.  Configure a Debug tree of your own to step through code.
step "build: configuring $dir" cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "${launcher[@]}" "$@"
targets=()
if [ -n "${BUILD_TARGETS:-}" ]; then read -r -a targets <<<"$BUILD_TARGETS"; fi
step "build: compiling $dir" cmake --build "$dir" -j "$(nproc)" ${targets[@]+--target "${targets[@]}"}
