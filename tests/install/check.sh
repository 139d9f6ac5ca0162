#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, builds the example hosts
# against it with find_package(Mirelle) and runs them.
set -euo pipefail
build=$1; source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
cmake -S "$source/examples/host" -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >"$work/configure.log"
cmake --build "$work/example" >"$work/build.log"
# A fresh store: the class is not registered, so the example loads the module itself.
MIRELLE_REGISTRY="$work/registry.db" "$work/example/example-host"
# Registered with the installed tool, the example finds the module through the registry.
MIRELLE_REGISTRY="$work/registry.db" "$work/prefix/bin/mirelle-regsvr" "$work/prefix/lib/mirelle/Mirelle.so" ||
  MIRELLE_REGISTRY="$work/registry.db" "$work/prefix/bin/mirelle-regsvr" "$(ls "$work"/prefix/lib*/mirelle/Mirelle.so "$work"/prefix/lib/*/mirelle/Mirelle.so 2>/dev/null | head -1)"
MIRELLE_REGISTRY="$work/registry.db" "$work/example/example-host"
# A host with a unit of its own (its support interface and host system object).
cmake -S "$source/examples/own-host" -B "$work/own-host" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >"$work/configure-own.log"
cmake --build "$work/own-host" >"$work/build-own.log"
MIRELLE_REGISTRY="$work/registry.db" "$work/own-host/own-host"
test -f "$work/prefix/lib/pkgconfig/mirelle.pc" -o -n "$(ls "$work"/prefix/lib/*/pkgconfig/mirelle.pc 2>/dev/null)"
echo "install check passed"
