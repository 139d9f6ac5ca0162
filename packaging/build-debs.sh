#!/usr/bin/env bash
# packaging/build-debs.sh BUILD_DIR OUT_DIR: builds the Debian packages from a
# built tree's install components, one package each:
#   mirelle          runtime: system and utility libraries, the module,
#                    mirelle-regsvr, mirelle-reg (no Qt)
#   mirelle-dev      headers, .so links, CMake package, pkg-config file
#   mirelle-tools    mirelle-run, mirelle-inspect, the bundled unit and scripts
#   mirelle-demo     the Qt launcher (when the tree has it)
#   mirelle-web      the browser console (when the tree has it)
# Binaries are stripped; dependencies come from dpkg-shlibdeps.  Prints the
# package files it wrote.  Needs dpkg-dev (dpkg-shlibdeps, dpkg-deb).
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
debversion="$version-1"
module="/usr/$libdir/mirelle/Mirelle.so"

# dpkg-shlibdeps reads the packages of a source tree: this one's, and where
# the libraries of the runtime package come from.
mkdir -p "$work/src/debian"
cat >"$work/src/debian/control" <<EOF
Source: mirelle
Maintainer: Mirelle developers <mirelle@example.org>

Package: mirelle
Architecture: any
EOF
cat >"$work/src/debian/shlibs.local" <<EOF
libmirelle-system 1 mirelle (>= $debversion)
libmirelle-util 1 mirelle (>= $debversion)
EOF

is_elf() { [ "$(head -c 4 "$1" | od -An -tx1 | tr -d ' \n')" = "7f454c46" ]; }

# package NAME COMPONENT SECTION DEPENDS-EXTRA DESCRIPTION LONG-DESCRIPTION
package() {
  local name=$1 component=$2 section=$3 extra=$4 summary=$5 long=$6
  local stage="$work/$name"
  DESTDIR="$stage" cmake --install "$build" --prefix /usr --component "$component" >/dev/null
  if [ ! -d "$stage/usr" ]; then
    return 0  # the tree does not build this part
  fi
  local elves=()
  while IFS= read -r -d '' f; do
    if is_elf "$f"; then
      strip --strip-unneeded --remove-section=.comment --remove-section=.note "$f"
      chmod 0644 "$f"
      case "$f" in */bin/*) chmod 0755 "$f" ;; esac
      elves+=("$f")
    fi
  done < <(find "$stage" -type f -print0)
  local depends=""
  if [ ${#elves[@]} -gt 0 ]; then
    depends=$(cd "$work/src" && dpkg-shlibdeps -O -xmirelle -l"$work/mirelle/usr/$libdir" "${elves[@]}" 2>"$work/$name.shlibdeps" |
      sed -n 's/^shlibs:Depends=//p')
  fi
  [ -n "$extra" ] && depends="${depends:+$depends, }$extra"
  install -d "$stage/usr/share/doc/$name"
  install -m 0644 "$root/packaging/copyright" "$stage/usr/share/doc/$name/copyright"
  printf 'mirelle (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- Mirelle developers <mirelle@example.org>  %s\n' \
    "$debversion" "$version" "$(date -R -d @0)" | gzip -9n >"$stage/usr/share/doc/$name/changelog.Debian.gz"
  install -d "$stage/DEBIAN"
  {
    echo "Package: $name"
    echo "Version: $debversion"
    echo "Architecture: $arch"
    echo "Maintainer: Mirelle developers <mirelle@example.org>"
    echo "Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)"
    [ -n "$depends" ] && echo "Depends: $depends"
    echo "Section: $section"
    echo "Priority: optional"
    echo "Homepage: https://localhost/mirelle"
    echo "Description: $summary"
    echo "$long" | fold -s -w 72 | sed 's/^/ /; s/ *$//'
  } >"$stage/DEBIAN/control"
  if [ "$name" = mirelle ]; then
    cp "$work/src/debian/shlibs.local" "$stage/DEBIAN/shlibs"
    echo "activate-noawait ldconfig" >"$stage/DEBIAN/triggers"
    for script in postinst prerm postrm; do
      sed "s|@MODULE@|$module|g" "$root/packaging/$script" >"$stage/DEBIAN/$script"
      chmod 0755 "$stage/DEBIAN/$script"
    done
    chmod 0644 "$stage/DEBIAN/shlibs" "$stage/DEBIAN/triggers"
  fi
  (cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums)
  chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
  find "$stage" -type d -exec chmod 0755 {} +
  local file="$out/${name}_${debversion}_${arch}.deb"
  dpkg-deb --root-owner-group -Zxz --build "$stage" "$file" >/dev/null
  echo "$file"
}

package mirelle runtime libs "" \
  "setup user interface component of the Quellan recorder" \
  "The component a recorder's host application loads to set the unit up (cameras, display layouts, recording, storage, text streams, audio, network sources), with the system and utility libraries hosts link, the registry tools mirelle-reg and mirelle-regsvr, and the machine's registry store under /var/lib/mirelle, where the package registers the component."
package mirelle-dev dev libdevel "mirelle (= $debversion)" \
  "setup user interface component of the Quellan recorder - development files" \
  "Headers, the CMake package (find_package(Mirelle)) and the pkg-config file (mirelle) for building hosts of the component."
package mirelle-tools tools video "mirelle (= $debversion)" \
  "setup user interface component of the Quellan recorder - tools" \
  "mirelle-run runs one setup headless on a simulated Quellan unit with a scripted operator; mirelle-inspect shows how the component reads a text. With the bundled unit and the demo scripts."
package mirelle-demo launcher video "mirelle (= $debversion), mirelle-tools (= $debversion)" \
  "setup user interface component of the Quellan recorder - Qt launcher" \
  "The demo launcher: every setup run on a simulated Quellan unit in a Qt window, with recording and replay of operator sessions."
package mirelle-web web video "mirelle (= $debversion), mirelle-tools (= $debversion)" \
  "setup user interface component of the Quellan recorder - web console" \
  "The browser console: the setups run on the unit and operated from a web browser over HTTPS."
