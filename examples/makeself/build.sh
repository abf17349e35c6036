#!/usr/bin/env bash
# Builds the self-extracting installer of the example product with Debian's makeself: an archive of
# the static Linux ostra, the POSIX recipe stamp.sh, the data file and setup.sh, which runs
# setup.sh where it unpacks.
#   build.sh path/to/ostra OUTPUT.run [DATA]
# DATA is the data file the installer ships, product.dat of this folder unless given.
set -euo pipefail
ostra=${1:?usage: $0 path/to/ostra OUTPUT.run [DATA]}
output=${2:?usage: $0 path/to/ostra OUTPUT.run [DATA]}
here=$(cd "$(dirname "$0")" && pwd)
data=${3:-$here/product.dat}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
install -m 755 "$ostra" "$stage/ostra"
install -m 755 "$here/../posix/stamp.sh" "$here/setup.sh" "$stage/"
install -m 644 "$data" "$stage/product.dat"
makeself --nox11 --sha256 --quiet "$stage" "$output" "Example Product" ./setup.sh >/dev/null
