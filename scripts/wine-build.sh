# Sourced by the scripts that run Windows programs: which build folder's
# programs Wine can run on this machine.
#
# What users install is the i686 build (build/win32), and its programs run
# under 32-bit Wine. Some kernels run no 32-bit programs at all (their
# ia32 emulation is switched off), and then no 32-bit Wine either; and an
# archive in the middle of a sync may fail to give the i386 packages. In
# either case the same Windows code and tests are built for x86-64
# (build/win64, cmake/mingw-x86_64.cmake) and run under 64-bit Wine instead.

# 32-bit Wine's loader; the setup test points it elsewhere.
rillmark_wine32_loader=${RILLMARK_WINE32_LOADER:-/usr/lib/wine/wine}

# True when 32-bit Wine is installed and starts.
rillmark_runs_32bit() {
  [[ -x $rillmark_wine32_loader ]] && "$rillmark_wine32_loader" --version >/dev/null 2>&1
}

# The build folder (win32 or win64) whose programs run under Wine here.
rillmark_wine_build() {
  if rillmark_runs_32bit; then echo win32; else echo win64; fi
}

rillmark_explain_win64() {
  local reason
  if [[ -x $rillmark_wine32_loader ]]; then
    reason="this machine runs no 32-bit programs (its kernel's ia32 emulation is off), so 32-bit Wine cannot start"
  else
    reason="32-bit Wine is not installed (the i386 packages, wine32:i386, could not be installed)"
  fi
  echo "note: $reason;" \
    "the Windows suite runs on the x86-64 build of the same code (build/win64) under 64-bit Wine." \
    "build/win32, the i686 build users install, is still built." >&2
}
