#!/usr/bin/env bash
# Every test of every build: installs what is missing, then runs the native workflow (under
# AddressSanitizer and UndefinedBehaviorSanitizer), the win64 workflow (tests under the 64-bit Wine
# loader), the win32 tests under Wine where this machine runs 32-bit programs, the linux-arm64
# workflow (tests under qemu), the end-to-end cases against the release program, the release
# packages (installing the amd64 .deb with dpkg, then removing it, and building them all a second
# time to compare) and the fuzz targets for a bounded time. Fails when anything fails.
#
# Some kernels run no 32-bit programs, and then 32-bit Wine cannot start. There the 32-bit program
# is still built and checked but not run, and one line says so. Whether the machine runs them is
# found by trying; OSTRA_NO_32BIT=1 makes the command behave as on a machine that does not.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh test

# Wine runs in the project's own prefix, whatever prefix the environment names: the one
# cmake/wine-run chooses when none is named, made by it the first time, here before the tests
# start Wine programs side by side. It is named in the environment for the tests that look inside.
WINEPREFIX=$(env -u WINEPREFIX cmake/wine-run printenv WINEPREFIX)
export WINEPREFIX
cmake/wine-run wineserver -w || true

cmake --workflow --preset native
cmake --workflow --preset win64
cmake --workflow --preset linux-arm64
cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --workflow --preset release
# The shipped program runs the end-to-end cases too, among them the one a sanitizer's build cannot
# run: memory running out in a bounded address space.
python3 tests/e2e/ostra_e2e.py --tool build/release/app/ostra

tools/check-exe.sh build/win64/app/ostra.exe
tools/check-exe.sh build/win32/app/ostra.exe

# Why the 32-bit program cannot run here, or nothing when it ran: the 32-bit loader is tried on the
# program just built, which shows its usage text and exits with -1.
why_win32_cannot_run() {
  if [ -n "${OSTRA_NO_32BIT:-}" ]; then
    echo "OSTRA_NO_32BIT is set"
    return
  fi
  local stdout status=0
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "32-bit Wine is not installed"
    return
  fi
  stdout=$(cmake/wine-run wine build/win32/app/ostra.exe /? 2>build/win32-probe.err </dev/null) ||
    status=$?
  [ $status -eq 255 ] && [[ $stdout == "Usage: ostra "* ]] && return
  echo "32-bit Wine failed with status $status: $(tail -n 1 build/win32-probe.err)"
}
why_not=$(why_win32_cannot_run)
if [ -z "$why_not" ]; then
  ctest --preset win32
  legs="win64 and win32 (PE32+ and PE32 under Wine)"
else
  echo "win32: the 32-bit program was built and checked but not run, since this machine cannot run 32-bit programs ($why_not)."
  export OSTRA_NO_32BIT=1
  legs="win64 only (PE32+ under Wine; the PE32 built and checked, not run)"
fi

tools/test-packages.sh
tools/test-roots.sh
tools/test-linux-recipes.sh
tools/run-fuzzers.sh
echo "Windows tests run: $legs"
