#!/usr/bin/env bash
# Builds the tool and stamps a serial number into a copy of examples/sample.txt, showing the file
# before and after (zero bytes show as ^@).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh build
cmake --workflow --preset release >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/sample.txt "$work/sample.txt"

echo "--- before"
cat -v "$work/sample.txt"
status=0
build/release/app/ostra /burnfile "$work/sample.txt" /burnstring @@SERIAL-PLACEHOLDER@@ \
  /burnsn SN-2026-0042 || status=$?
echo "--- after (ostra exited with $status: 1 = written)"
cat -v "$work/sample.txt"
