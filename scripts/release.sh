#!/bin/bash
# release.sh install PREFIX | package | check
# Builds rillmark-bake optimised in build/release (scripts/setup.sh release
# configures it), then:
#   install PREFIX  installs bin/rillmark-bake and its manual page there;
#   package         writes build/release/rillmark-bake_<version>_<arch>.deb;
#   check           writes the package and checks it as a user gets it: its
#                   control fields, the libraries the program needs, and the
#                   program run from the unpacked package on the example
#                   scene, against the test build's bytes when there is one.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
build=build/release

cmake --build "$build" -j "$jobs" --target rillmark_bake rillmark_bake_manual

package() {
  rm -f "$build"/rillmark-bake_*.deb
  (cd "$build" && cpack -G DEB >/dev/null)
  ls "$build"/rillmark-bake_*.deb
}

fail() {
  echo "release check: $*" >&2
  exit 1
}

check() {
  local deb work
  deb=$(package)
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN

  local name version arch depends
  name=$(dpkg-deb -f "$deb" Package)
  version=$(dpkg-deb -f "$deb" Version)
  arch=$(dpkg-deb -f "$deb" Architecture)
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "package $deb: Package $name, Version $version, Architecture $arch, Depends $depends"
  [[ $name == rillmark-bake ]] || fail "Package is '$name'"
  [[ $(basename "$deb") == "rillmark-bake_${version}_${arch}.deb" ]] || fail "the file name does not match its fields"
  [[ $arch == "$(dpkg --print-architecture)" ]] || fail "Architecture is '$arch'"
  # Only the C library: the C++ runtime and the picture libraries are inside.
  [[ $depends =~ ^libc6\ \(\>=\ [0-9.]+\)$ ]] || fail "Depends is '$depends', expected libc6 alone"

  dpkg-deb -x "$deb" "$work/root"
  local program=$work/root/usr/bin/rillmark-bake
  [[ -x $program ]] || fail "no usr/bin/rillmark-bake in the package"
  [[ -s $work/root/usr/share/man/man1/rillmark-bake.1.gz ]] || fail "no manual page in the package"
  local needed
  needed=$(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }' | sort | tr '\n' ' ')
  echo "the program needs: $needed"
  for library in $needed; do
    [[ $library =~ ^(libc|libm|ld-linux-x86-64)\.so ]] || fail "the program needs $library"
  done

  "$program" --scene examples/pond.json --pc2 "$work/pond.pc2" --obj-out "$work/objs" --preview "$work/pond.gif" \
    >"$work/out.txt" 2>"$work/err.txt" || fail "the packaged program failed: $(cat "$work/err.txt")"
  grep -q '^Baked 51 frames' "$work/out.txt" || fail "unexpected summary: $(cat "$work/out.txt")"
  local reference=build/native/apps/bake/rillmark-bake
  if [[ -x $reference ]]; then
    "$reference" --scene examples/pond.json --pc2 "$work/reference.pc2" >/dev/null 2>&1
    cmp "$work/pond.pc2" "$work/reference.pc2" || fail "the packaged program's heights differ from the test build's"
    echo "the packaged program's PC2 is the test build's, byte for byte"
  fi
  echo "release check: passed"
}

case ${1:-} in
  install)
    [[ -n ${2:-} ]] || fail "install needs a prefix"
    cmake --install "$build" --prefix "$2"
    ;;
  package) package ;;
  check) check ;;
  *) echo "usage: release.sh install PREFIX | package | check" >&2; exit 2 ;;
esac
