#!/bin/bash
# setup.sh [native] [win32] [fuzz] [release]
# Prepares this machine (Debian 12, run as root) to build and test Rillmark,
# then configures the named build folders (all four when none is named):
#   build/native  g++, sanitizers on
#   build/win32   MinGW i686 cross build, tests run under Wine; where 32-bit
#                 Wine cannot run or cannot be installed, also build/win64,
#                 the x86-64 build whose tests run under 64-bit Wine
#                 (wine-build.sh)
#   build/fuzz    clang, the libFuzzer targets with both sanitizers
#   build/release g++, optimised, no tests: the rillmark-bake that `make
#                 install` and the .deb ship, linked so that it needs only
#                 the C library's shared libraries
# Safe to run again: it installs only packages that are missing, so a
# ready machine needs no network, and re-configuring a folder is cheap.
#
# Debian's archive is sometimes caught in the middle of a sync: one index
# fails to download ("Mirror sync in progress?") for minutes. So a failed
# apt-get update is retried and then only warned about, and the install
# goes on with the indexes that did arrive. The amd64 packages are
# installed on their own, first; the i386 ones (32-bit Wine) after them,
# and if those cannot be installed the Windows suite falls back to the
# x86-64 build. Only an amd64 package that stays missing is fatal.
#
# RILLMARK_BUILD_ROOT (default build/ in the repository) moves the build
# folders; RILLMARK_APT_TRIES and RILLMARK_APT_PAUSE (3 tries, 10 s apart)
# tune the update's retries.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build_root=${RILLMARK_BUILD_ROOT:-build}
apt_tries=${RILLMARK_APT_TRIES:-3}
apt_pause=${RILLMARK_APT_PAUSE:-10}

folders=("$@")
[[ ${#folders[@]} -gt 0 ]] || folders=(native win32 fuzz release)
for f in "${folders[@]}"; do
  case $f in
    native|win32|fuzz|release) ;;
    *) echo "setup: unknown build folder '$f' (native, win32, fuzz or release)" >&2; exit 2 ;;
  esac
done

packages=(
  cmake g++ make python3
  googletest libgtest-dev libbenchmark-dev libxsimd-dev
  libcli11-dev nlohmann-json3-dev
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine xvfb xauth
  imagemagick libpng-dev libgif-dev
  clang libclang-rt-14-dev
  dpkg-dev help2man
  blender python3-numpy
)

# 32-bit Wine, which runs the i686 build users install.
i386_packages=(wine32:i386)

# What the x86-64 Windows build needs, where 32-bit Wine cannot run.
win64_packages=(
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64
)

installed() {
  [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null) == ii* ]]
}

missing_of() {
  local p
  for p in "$@"; do
    installed "$p" || echo "$p"
  done
}

need_root() {
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: missing packages: $*; run this script as root" >&2
    exit 1
  fi
}

# apt-get update, retried; indexes still failing after the last try are
# a warning, since apt keeps what did arrive (and any older lists).
updated=false
update_indexes() {
  [[ $updated == false ]] || return 0
  updated=true
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  local try log
  log=$(mktemp)
  for ((try = 1; try <= apt_tries; try++)); do
    if apt-get update >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    if ((try < apt_tries)); then
      echo "setup: apt-get update failed (try $try of $apt_tries), again in $apt_pause s" >&2
      sleep "$apt_pause"
    fi
  done
  echo "setup: warning: apt-get update failed $apt_tries times; installing from the indexes it did fetch:" >&2
  grep -E '^(E|W|Err):' "$log" | sed 's/^/  /' >&2 || true
  rm -f "$log"
}

# Installs the missing ones among the packages named. Returns 0 when none
# is missing afterwards; otherwise leaves apt's error in $apt_error.
apt_error=
install_missing() {
  local missing
  mapfile -t missing < <(missing_of "$@")
  [[ ${#missing[@]} -gt 0 ]] || return 0
  need_root "${missing[@]}"
  update_indexes
  echo "setup: installing ${missing[*]}"
  local log
  log=$(mktemp)
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" 2>&1 | tee "$log" || true
  # apt's verdict, and the first few unmet dependencies behind it.
  apt_error=$( (grep -E '^E:' "$log"; grep -E '^ \S.* : Depends:' "$log" | head -n 3) || true)
  rm -f "$log"
  mapfile -t missing < <(missing_of "$@")
  [[ ${#missing[@]} -eq 0 ]]
}

require() {
  if ! install_missing "$@"; then
    echo "setup: cannot install $(missing_of "$@" | tr '\n' ' ')- the build needs it. apt-get said:" >&2
    echo "${apt_error:-  (nothing)}" | sed 's/^/  /' >&2
    exit 1
  fi
}

require "${packages[@]}"

source "$root/scripts/wine-build.sh"
# A failed i386 install is remembered for a day, so that each make test
# does not spend half a minute asking a broken archive again.
i386_failed=$build_root/.i386-install-failed
if [[ -n $(find "$i386_failed" -mmin -1440 2>/dev/null) ]]; then
  echo "setup: not trying ${i386_packages[*]} again today (it failed; remove $i386_failed to retry)" >&2
elif ! install_missing "${i386_packages[@]}"; then
  echo "setup: could not install ${i386_packages[*]}:" >&2
  echo "${apt_error:-  (no reason given)}" | sed 's/^/  /' >&2
  mkdir -p "$build_root" && echo "$apt_error" >"$i386_failed"
else
  rm -f "$i386_failed"
fi
wine_build=$(rillmark_wine_build)
if [[ $wine_build == win64 ]]; then
  rillmark_explain_win64
  require "${win64_packages[@]}"
fi

for f in "${folders[@]}"; do
  case $f in
    native)
      cmake -S . -B "$build_root/native" \
        -DCMAKE_BUILD_TYPE=Debug \
        -DRILLMARK_SANITIZE=ON \
        -DRILLMARK_WERROR=ON
      ;;
    win32)
      cmake -S . -B "$build_root/win32" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DRILLMARK_WERROR=ON
      if [[ $wine_build == win64 ]]; then
        cmake -S . -B "$build_root/win64" \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE=Release \
          -DRILLMARK_WERROR=ON
      fi
      # Made here, before any test runs, so that tests started in
      # parallel never race to create it.
      "$root/scripts/wine-prefix.sh" "$build_root/$wine_build/wineprefix" "$wine_build"
      ;;
    release)
      cmake -S . -B "$build_root/release" \
        -DCMAKE_BUILD_TYPE=Release \
        -DRILLMARK_WERROR=ON \
        -DRILLMARK_TESTS=OFF \
        -DRILLMARK_STATIC_BAKE=ON
      ;;
    fuzz)
      # Optimised, as fuzzing wants many inputs a second; checks in the
      # targets are not assertions, so NDEBUG takes none away.
      cmake -S . -B "$build_root/fuzz" \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DRILLMARK_FUZZ=ON
      ;;
  esac
done
