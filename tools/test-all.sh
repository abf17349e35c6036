#!/usr/bin/env bash
# Every test of both builds: installs what is missing, then runs the native workflow (under
# AddressSanitizer and UndefinedBehaviorSanitizer), the win32 workflow (tests under Wine), and the
# fuzz targets for a bounded time. Fails when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh test

export WINEDEBUG=-all
# Make Wine's prefix once, before tests start Wine programs side by side.
wineboot --init >/dev/null 2>&1 || true
wineserver -w || true

cmake --workflow --preset native
cmake --workflow --preset win32
cmake --workflow --preset release

tools/check-exe.sh build/win32/app/ostra.exe
tools/test-packages.sh
tools/run-fuzzers.sh
