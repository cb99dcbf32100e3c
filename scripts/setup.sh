#!/bin/bash
# setup.sh [native] [win32] [fuzz]
# Prepares this machine (Debian 12, run as root) to build and test Rillmark,
# then configures the named build folders (all three when none is named):
#   build/native  g++, sanitizers on
#   build/win32   MinGW i686 cross build, tests run under Wine
#   build/fuzz    clang, the libFuzzer targets with both sanitizers
# Safe to run again: it installs only packages that are missing, so a
# ready machine needs no network, and re-configuring a folder is cheap.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

folders=("$@")
[[ ${#folders[@]} -gt 0 ]] || folders=(native win32 fuzz)
for f in "${folders[@]}"; do
  case $f in
    native|win32|fuzz) ;;
    *) echo "setup: unknown build folder '$f' (native, win32 or fuzz)" >&2; exit 2 ;;
  esac
done

packages=(
  cmake g++ make python3
  googletest libgtest-dev libbenchmark-dev libxsimd-dev
  libcli11-dev nlohmann-json3-dev
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth
  imagemagick libpng-dev libgif-dev
  clang libclang-rt-14-dev
)

installed() {
  [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null) == ii* ]]
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

if [[ ${#missing[@]} -gt 0 ]]; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: missing packages: ${missing[*]}; run this script as root" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${missing[@]}"
fi

for f in "${folders[@]}"; do
  case $f in
    native)
      cmake -S . -B build/native \
        -DCMAKE_BUILD_TYPE=Debug \
        -DRILLMARK_SANITIZE=ON \
        -DRILLMARK_WERROR=ON
      ;;
    win32)
      cmake -S . -B build/win32 \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DRILLMARK_WERROR=ON
      # Made here, before any test runs, so that tests started in
      # parallel never race to create it.
      "$root/scripts/wine-prefix.sh" build/win32/wineprefix
      ;;
    fuzz)
      # Optimised, as fuzzing wants many inputs a second; checks in the
      # targets are not assertions, so NDEBUG takes none away.
      cmake -S . -B build/fuzz \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DRILLMARK_FUZZ=ON
      ;;
  esac
done
