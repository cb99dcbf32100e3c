#!/bin/bash
# setup.sh [native] [win32] [fuzz]
# Prepares this machine (Debian 12, run as root) to build and test Rillmark,
# then configures the named build folders (all three when none is named):
#   build/native  g++, sanitizers on
#   build/win32   MinGW i686 cross build, tests run under Wine; on a machine
#                 that runs no 32-bit programs, also build/win64, the x86-64
#                 build whose tests run under 64-bit Wine (wine-build.sh)
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

# What the x86-64 Windows build needs, where 32-bit Wine cannot run.
win64_packages=(
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64
)

installed() {
  [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null) == ii* ]]
}

updated=false
install_missing() {
  local missing=() p
  for p in "$@"; do
    installed "$p" || missing+=("$p")
  done
  [[ ${#missing[@]} -gt 0 ]] || return 0
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: missing packages: ${missing[*]}; run this script as root" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  if [[ $updated == false ]]; then
    apt-get update
    updated=true
  fi
  apt-get install -y "${missing[@]}"
}

install_missing "${packages[@]}"
source "$root/scripts/wine-build.sh"
wine_build=$(rillmark_wine_build)
if [[ $wine_build == win64 ]]; then
  rillmark_explain_win64
  install_missing "${win64_packages[@]}"
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
      if [[ $wine_build == win64 ]]; then
        cmake -S . -B build/win64 \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE=Release \
          -DRILLMARK_WERROR=ON
      fi
      # Made here, before any test runs, so that tests started in
      # parallel never race to create it.
      "$root/scripts/wine-prefix.sh" "build/$wine_build/wineprefix" "$wine_build"
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
