#!/bin/bash
# Runs the real scripts/setup.sh against stand-ins for apt-get, dpkg and
# dpkg-query, as on a machine whose package archive is mid-sync: every
# apt-get update fails for one index, every install of an i386 package
# fails with held broken packages, and one amd64 package is missing. The
# setup must still configure the folder asked for and say why the Windows
# suite falls back to the x86-64 build; only an amd64 package that cannot
# be installed may stop it.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# Stand-ins. State lives in $work/state: the packages installed so far,
# the amd64 package that apt cannot give, and a log of every apt call.
make_stand_ins() {
  local bin=$work/bin
  mkdir -p "$bin"
  cat >"$bin/apt-get" <<'STAND_IN'
#!/bin/bash
state=$RILLMARK_TEST_STATE
echo "apt-get $*" >>"$state/calls"
case $1 in
  update)
    echo "Err:6 http://deb.debian.org/debian-security bookworm-security/main i386 Packages"
    echo "  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]"
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100 ;;
  install)
    shift
    for p in "$@"; do
      [[ $p == -* ]] && continue
      if [[ $p == *:i386 ]]; then
        echo " libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not going to be installed"
        echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages."
        exit 100
      fi
      if [[ $p == "$(cat "$state/unavailable")" ]]; then
        echo "E: Unable to locate package $p"
        exit 100
      fi
    done
    for p in "$@"; do [[ $p == -* ]] || echo "$p" >>"$state/installed"; done ;;
esac
exit 0
STAND_IN
  cat >"$bin/dpkg-query" <<'STAND_IN'
#!/bin/bash
state=$RILLMARK_TEST_STATE
p=${!#}
if grep -qxF "$p" "$state/installed" || ! grep -qxF "$p" "$state/absent"; then
  echo -n "ii "
else
  echo -n "un "
fi
STAND_IN
  cat >"$bin/dpkg" <<'STAND_IN'
#!/bin/bash
[[ $1 == --print-foreign-architectures ]] && echo i386
exit 0
STAND_IN
  printf '#!/bin/bash\necho 0\n' >"$bin/id"
  chmod +x "$bin"/*
}

# run_setup NAME UNAVAILABLE_PACKAGE FOLDER: runs the setup, its output in
# $work/NAME.out, its exit status returned.
run_setup() {
  local name=$1 unavailable=$2 folder=$3
  local state=$work/$name
  mkdir -p "$state"
  : >"$state/installed"
  : >"$state/calls"
  echo "$unavailable" >"$state/unavailable"
  # Missing: wine32:i386 and one amd64 package the build needs.
  printf '%s\n' wine32:i386 libcli11-dev >"$state/absent"
  PATH=$work/bin:$PATH \
    RILLMARK_TEST_STATE=$state \
    RILLMARK_BUILD_ROOT=$state/build \
    RILLMARK_APT_PAUSE=0 \
    RILLMARK_WINE32_LOADER=$work/no-such-wine \
    "$root/scripts/setup.sh" "$folder" >"$work/$name.out" 2>&1
}

make_stand_ins

# An archive mid-sync: the setup rides it out.
run_setup sync "" native
status=$?
out=$work/sync.out
[[ $status -eq 0 ]] || fail "setup exited $status on an archive mid-sync"
[[ -f $work/sync/build/native/CMakeCache.txt ]] || fail "build/native was not configured"
[[ $(grep -c '^apt-get update' "$work/sync/calls") -eq 3 ]] || fail "apt-get update was not tried three times"
grep -q 'warning: apt-get update failed 3 times' "$out" || fail "no warning about the failed update"
grep -q 'Mirror sync in progress' "$out" || fail "the warning does not give apt's reason"
grep -qx 'apt-get install -y libcli11-dev' "$work/sync/calls" ||
  fail "the missing amd64 package was not installed on its own"
grep -q 'note: 32-bit Wine is not installed (the i386 packages, wine32:i386, could not be installed); the Windows suite runs on the x86-64 build' "$out" ||
  fail "no note naming why the x86-64 build is used"
grep -q 'held packages' "$out" || fail "the i386 failure does not give apt's error"

# An amd64 package that cannot be installed ends the setup, by name.
run_setup missing libcli11-dev native
status=$?
out=$work/missing.out
[[ $status -eq 1 ]] || fail "setup exited $status with an amd64 package missing"
grep -q 'setup: cannot install libcli11-dev' "$out" || fail "the fatal message does not name the package"
grep -q 'E: Unable to locate package libcli11-dev' "$out" || fail "the fatal message does not give apt's error"
[[ ! -e $work/missing/build/native ]] || fail "a folder was configured without a package the build needs"

if [[ $failures -gt 0 ]]; then
  for f in "$work"/*.out; do echo "--- $(basename "$f")"; cat "$f"; done >&2
  exit 1
fi
echo "setup test: passed"
