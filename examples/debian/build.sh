#!/usr/bin/env bash
# Builds the example product's package from the files of this folder, as a packaging tool would:
#   build.sh VERSION OUTPUT.deb [DATA]
# DATA is the data file the package ships, product.dat of this folder unless given.
set -euo pipefail
version=${1:?usage: $0 VERSION OUTPUT.deb [DATA]}
output=${2:?usage: $0 VERSION OUTPUT.deb [DATA]}
here=$(cd "$(dirname "$0")" && pwd)
data=${3:-$here/product.dat}
# A data file without the placeholder would make a package whose postinst cannot stamp it.
if ! grep -qF @@SERIAL-PLACEHOLDER@@ "$data"; then
  echo "build.sh: $data holds no @@SERIAL-PLACEHOLDER@@: no serial could be stamped into it" >&2
  exit 1
fi
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
chmod 755 "$root"
doc=$root/usr/share/doc/example-product

install -d -m 755 "$root/DEBIAN" "$root/usr/share/example-product" "$doc"
install -m 644 "$data" "$root/usr/share/example-product/product.dat"
install -m 755 "$here/postrm" "$root/DEBIAN/"
# config and postinst take the serial's functions in place of their line #EXAMPLE-PRODUCT-SERIAL#.
for script in config postinst; do
  sed -e "/^#EXAMPLE-PRODUCT-SERIAL#\$/{r $here/serial.sh" -e d -e '}' "$here/$script" >"$root/DEBIAN/$script"
  chmod 755 "$root/DEBIAN/$script"
done
install -m 644 "$here/templates" "$root/DEBIAN/"
install -m 644 "$here/copyright" "$doc/"
printf '%s\n' "example-product ($version) unstable; urgency=medium" "" \
  "  * Release $version." "" \
  " -- Example Product Maintainers <packages@example.org>  Mon, 30 Nov 2026 12:00:00 +0000" |
  gzip -9n >"$doc/changelog.gz"
chmod 644 "$doc/changelog.gz"
(cd "$root" && find usr -type f -exec md5sum {} + | sort -k 2 >DEBIAN/md5sums)
chmod 644 "$root/DEBIAN/md5sums"
sed -e "s/@VERSION@/$version/" -e "s/@SIZE@/$(du -sk "$root/usr" | cut -f1)/" "$here/control" \
  >"$root/DEBIAN/control"
chmod 644 "$root/DEBIAN/control"
dpkg-deb --root-owner-group --build "$root" "$output" >/dev/null
