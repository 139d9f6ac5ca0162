#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the normal build, then the
# ASan+UBSan build, then the ThreadSanitizer build of the threaded tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
export MIRELLE_REGISTRY="$root/build/test-registry.db"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

bash scripts/build.sh build
(cd build && ctest --output-on-failure -j "$(nproc)")

bash scripts/build.sh build-asan -DMIRELLE_SANITIZE=ON -DMIRELLE_GUI=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)")

if [ -f tests/tsan.txt ]; then
  bash scripts/build.sh build-tsan -DMIRELLE_TSAN=ON -DMIRELLE_GUI=OFF
  (cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure --no-tests=error -j "$(nproc)" -R "$(paste -sd'|' "$root/tests/tsan.txt")")
fi
if [ -x scripts/fuzz.sh ]; then bash scripts/fuzz.sh; fi
echo "all test runs passed"
