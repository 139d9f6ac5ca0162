#!/usr/bin/env bash
# tests/install/debian.sh [BUILD_DIR]: the Debian packages as a machine gets
# them.  Builds the packages from a built tree (default build/), runs lintian,
# installs the runtime and -dev packages, then, as a throwaway user with a
# clean home, builds the example host against /usr with CMake and with
# pkg-config and runs it: it must find Mirelle.SetupUI through the machine's
# registry store, with no registration of its own.  The user reads the
# machine's store and may not change it; its own store takes its changes.
# Removing the packages must leave none of the module's keys in the machine's
# store.
#
# Changes the machine (packages, a user, /var/lib/mirelle): run it only as
# root on a machine of its own (CI), never on a developer's machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ "$(id -u)" -ne 0 ]; then
  echo "debian.sh: needs root (it installs packages and adds a user)" >&2
  exit 2
fi
step() { echo "== $*"; }
work=$(mktemp -d /tmp/mirelle-debian-XXXXXX)
user=mirelle-ci-$$
cleanup() {
  userdel -r "$user" >/dev/null 2>&1 || true
  dpkg -P mirelle-dev mirelle >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
store=/var/lib/mirelle/registry.db
# What the store holds of the module: the class, its ProgIDs, its type library.
module_keys() {
  python3 - "$store" <<'PY'
import sqlite3, sys, os
if not os.path.exists(sys.argv[1]):
    print(0); sys.exit()
db = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
n = db.execute("""SELECT count(*) FROM keys WHERE path LIKE 'hkey_classes_root\\mirelle.%'
                  OR path IN (SELECT key FROM vals WHERE CAST(data AS TEXT) LIKE '%Mirelle.so%')""").fetchone()[0]
print(n)
PY
}

step "building the packages"
bash "$root/packaging/build-debs.sh" "$build" "$work/debs" | sed 's/^/  /'
ls "$work"/debs/mirelle_*.deb "$work"/debs/mirelle-dev_*.deb >/dev/null
if dpkg-deb -f "$work"/debs/mirelle_*.deb Depends | grep -qi qt; then
  echo "the runtime package depends on Qt" >&2
  exit 1
fi

if command -v lintian >/dev/null; then
  step "lintian (tags not listed with their reasons in docs/PACKAGING.md fail)"
  lintian --no-tag-display-limit "$work"/debs/*.deb >"$work/lintian.txt" 2>&1 || true
  sed 's/^/  /' "$work/lintian.txt"
  # Each tag line "X: PACKAGE...: TAG ..." must be listed in the docs.
  unknown=$(sed -n 's/^[EWIPX]: [^:]*: \([a-z0-9-]*\).*/\1/p' "$work/lintian.txt" | sort -u |
    while read -r tag; do grep -q "\`$tag\`" "$root/docs/PACKAGING.md" || echo "$tag"; done)
  if [ -n "$unknown" ]; then
    echo "lintian tags without a reason in docs/PACKAGING.md: $unknown" >&2
    exit 1
  fi
fi

step "installing the runtime and -dev packages"
rm -f "$store"
env MIRELLE_REGISTRY="$work/elsewhere.db" DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq "$work"/debs/mirelle_*.deb "$work"/debs/mirelle-dev_*.deb >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; exit 1; }
test ! -e "$work/elsewhere.db" || { echo "the package registered into MIRELLE_REGISTRY's store" >&2; exit 1; }
test "$(stat -c %a "$store")" = 644
test "$(module_keys)" -gt 0 || { echo "the machine's store holds no registration" >&2; exit 1; }

step "a host built and run by an unprivileged user"
home="/tmp/$user-home"  # outside $work, which only root may enter
useradd --home-dir "$home" --create-home --shell /bin/bash "$user"
cp -r "$root/examples/host" "$home/src"
chown -R "$user:" "$home/src"
as_user() { runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 bash -c "$1"; }
as_user 'set -e; cd "$HOME"
  cmake -S src -B b-cmake -G Ninja >cmake.log && cmake --build b-cmake >>cmake.log
  b-cmake/example-host --registered
  g++ -std=c++20 -o example-pc src/main.cpp $(pkg-config --cflags --libs mirelle) \
    -DMIRELLE_MODULE="\"$(pkg-config --variable=module mirelle)\""
  ./example-pc --registered'
# The machine's hives are read-only to the user; the user's own are not.
as_user 'set -e; cd "$HOME"
  mirelle-reg query "HKCR\Mirelle.SetupUI" >/dev/null
  if mirelle-reg add "HKLM\SOFTWARE\MirelleCI" /v n /t REG_DWORD /d 1 2>err.txt; then exit 1; fi
  grep -q "access denied" err.txt
  mirelle-reg add "HKCU\Software\MirelleCI" /v n /t REG_DWORD /d 1
  test -f "$HOME/.local/share/mirelle/registry.db"'

step "removing the packages"
env MIRELLE_REGISTRY="$work/elsewhere.db" dpkg -r mirelle-dev mirelle >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log"; exit 1; }
test "$(module_keys)" = 0 || { echo "the machine's store still holds the module's keys" >&2; exit 1; }
echo "debian packages: install, use and removal passed"
