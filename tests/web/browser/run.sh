#!/usr/bin/env bash
# tests/web/browser/run.sh [BUILD_DIR] [suite|bench|tour] [ARGS...]: starts
# mirelle-web of BUILD_DIR (default build/) on 127.0.0.1 with an ephemeral
# port, throwaway operators, state folder and unit file, then runs the
# browser suite (default), the page benchmark, or the tour of every dialog
# in the pseudo locale (tour) in Debian's chromium.
# Installs the pinned npm packages first when node_modules is missing.
# Environment: MIRELLE_WEB_WIDTHS=1280,390 (the sizes played),
# MIRELLE_WEB_ONLY=REGEX (scripts whose file name matches; 'extras' the other
# tests).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
what=${2:-suite}
[ $# -gt 2 ] && shift 2 || set --
web="$build/apps/mirelle-web"
run="$build/apps/mirelle-run"
for tool in "$web" "$run"; do
  [ -x "$tool" ] || { echo "run.sh: $tool is not built" >&2; exit 1; }
done
[ -x /usr/bin/chromium ] || { echo "run.sh: /usr/bin/chromium is missing (apt-get install chromium)" >&2; exit 1; }
if [ ! -d "$here/node_modules/playwright-core" ]; then
  # Never a browser download: playwright-core brings none.
  (cd "$here" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/mirelle-web-test.XXXXXX")
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# A registry store of its own: the tour sets the system language, which
# must not reach the tests that run beside it.
export MIRELLE_REGISTRY=$work/registry.db
export MIRELLE_LOG=${MIRELLE_LOG:-$work/debug.log}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -p "$work/state"
password=$(head -c 24 /dev/urandom | od -An -tx1 | tr -d ' \n')
for user in tester watcher; do
  printf '%s\n' "$password" | "$web" --state-dir "$work/state" passwd "$user" >/dev/null
done
cp "$root/apps/units/default.json" "$work/unit.json"
if [ "$what" = tour ]; then
  # Every dialog in the pseudo locale, whose texts are longer.
  "$build/apps/mirelle-reg" add 'HKLM\SOFTWARE\Marvessa-KDM\Quellan' /v SystemLanguage /d QPS /f >/dev/null
fi
# The demo scripts name their files from the top of the source tree.
(cd "$root" && exec "$web" --unit "$work/unit.json" --state-dir "$work/state" --bind 127.0.0.1 --port 0 --grace 3 \
   --page-dir "$root/web/page" >"$work/server.out" 2>"$work/server.err") &
pid=$!
url=
for _ in $(seq 1 150); do
  url=$(sed -n 's|^mirelle-web: \(https://[^ ]*/\) on .*|\1|p' "$work/server.out" | head -1)
  [ -n "$url" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$url" ]; then
  echo "run.sh: mirelle-web did not start:" >&2
  cat "$work/server.out" "$work/server.err" >&2
  exit 1
fi
export MIRELLE_WEB_URL=$url MIRELLE_WEB_USER=tester MIRELLE_WEB_PASSWORD=$password
export MIRELLE_WEB_UNIT=$work/unit.json MIRELLE_RUN=$run MIRELLE_SOURCE_DIR=$root
export MIRELLE_WEB_SHOTS=${MIRELLE_WEB_SHOTS:-$build/web-shots}
status=0
case "$what" in
  suite) node "$here/suite.js" "$@" || status=$? ;;
  bench) node "$here/bench.js" "$@" || status=$? ;;
  node) node "$@" || status=$? ;;
  tour) MIRELLE_WEB_TOUR=QPS node "$here/suite.js" "$@" || status=$? ;;
  *) echo "run.sh: suite, bench or tour, not $what" >&2; status=2 ;;
esac
if [ "$status" != 0 ] && [ -s "$work/server.err" ]; then
  echo "-- mirelle-web's errors (last 20 lines):" >&2
  tail -20 "$work/server.err" >&2
fi
exit "$status"
