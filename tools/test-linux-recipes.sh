#!/usr/bin/env bash
# Runs the recipes for Linux installers as a step of the test command, after the packages are made:
# the native build's ctest tests debian_recipe, rpm_recipe and makeself_recipe
# (examples/test_linux_installer.sh), in copies of the Debian 11 root that tools/make-roots.sh
# makes (once), with the packages of build/packages, which tools/test-packages.sh makes, and the
# static program of build/release. Here a recipe whose inputs are missing fails rather than being
# skipped (OSTRA_RECIPES_REQUIRED).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 0 ]; then
  echo "usage: $0 (one recipe: examples/test_linux_installer.sh debian|rpm|makeself)" >&2
  exit 2
fi
OSTRA_RECIPES_REQUIRED=1 exec ctest --test-dir build/native --output-on-failure \
  -R '^(debian|rpm|makeself)_recipe$'
