#!/usr/bin/env bash
# Makes the release packages, unpacks each into a fresh folder, checks that it holds the examples
# (and a Linux one the POSIX recipe, runnable, under share/ostra), and stamps a file with the program
# it holds (the Windows ones under Wine, the arm64 ones under qemu); runs lintian on the .deb files
# and rpmlint on the .rpm files, installs the amd64 .deb with dpkg, stamps with the installed
# `ostra`, reads `man ostra`, and removes the package. Then builds every package again from a clone
# of the last commit in another folder, later, under another umask and time zone (and as the user
# nobody when run as root), and fails on any SHA-256 that differs from the first build's.
# Expects build/release, build/win32, build/win64 and build/linux-arm64 to be built. With
# OSTRA_NO_32BIT set the 32-bit zip is made and its contents checked, but its program is not run.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/lib.sh
version=$(ostra_version)
builds=(release win32 win64 linux-arm64)
packages=("ostra-$version-linux-x86_64.tar.gz" "ostra-$version-win32.zip" "ostra-$version-win64.zip"
          "ostra_${version}_amd64.deb" "ostra-$version-linux-aarch64.tar.gz"
          "ostra_${version}_arm64.deb" "ostra-$version-1.x86_64.rpm" "ostra-$version-1.aarch64.rpm")
qemu=("$qemu_arm64" -L /usr/aarch64-linux-gnu)
wine_run=$PWD/cmake/wine-run

out=$PWD/build/packages
rm -rf "$out" && mkdir -p "$out"
start=$SECONDS
# cpack reads its settings before it brings the build up to date: the build comes first.
for build in "${builds[@]}"; do
  cmake --build "build/$build" -j2 >/dev/null
  (cd "build/$build" && cpack -B "$out" >/dev/null)
done
rm -rf "$out/_CPack_Packages"
echo "packages made in $((SECONDS - start)) s"

stamp_with() {  # stamp_with LABEL COMMAND...: stamps a fresh file in the current folder
  local label=$1 status bytes
  shift
  if ! run_stamp target.dat 'id=@@ID@@;' 1 'id=42\0\0\0\0;' \
         "$@" /burnfile target.dat /burnstring @@ID@@ /burnsn 42; then
    echo "$label: the packaged program did not stamp (status $status)"; return 1
  fi
  echo "$label: stamped with the packaged program"
}

# check_examples LABEL DIR: DIR holds every file under examples/ but the tests and CMakeLists.txt.
check_examples() {
  local wanted held
  wanted=$(cd examples && find . -type f ! -name 'test_*' ! -name CMakeLists.txt | sort)
  held=$(cd "$2" && find . -type f | sort)
  [ "$wanted" = "$held" ] && return 0
  echo "$1: its examples differ from the repository's:"
  diff <(echo "$wanted") <(echo "$held") || true
  return 1
}

# install_deb PACKAGE UNPACKED: installs the package, stamps with the installed ostra, reads its
# manual page, removes the package. UNPACKED holds the package's files, for systems whose dpkg
# leaves manual pages out (Debian's slim images): there the page is read from it.
install_deb() {
  if dpkg-query -W ostra >/dev/null 2>&1; then
    echo "$1: not installed, since a package named ostra is installed already"; return 0
  fi
  local sudo="" status=0 dir page=ostra
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo dpkg -i "$1" >/dev/null || { echo "$1: dpkg -i failed"; return 1; }
  dir=$(mktemp -d)
  (cd "$dir" && stamp_with "$(basename "$1") installed" ostra) || status=1
  rm -rf "$dir"
  if [ ! -e /usr/share/man/man1/ostra.1.gz ] && grep -qs 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    echo "$1: dpkg here leaves manual pages out; reading the package's own"
    page="-l $2/usr/share/man/man1/ostra.1.gz"
  fi
  MANPAGER=cat man $page 2>/dev/null | grep -q 'stamp a value over a placeholder' ||
    { echo "$1: man ostra does not show the manual page"; status=1; }
  $sudo dpkg -r ostra >/dev/null || { echo "$1: dpkg -r failed"; status=1; }
  return $status
}

# check_recipe PACKAGE DIR: DIR, the package's /usr, holds the POSIX recipe where package scripts
# run it, with mode 755.
check_recipe() {
  [ "$(stat -c %a "$2/share/ostra/stamp.sh" 2>/dev/null)" = 755 ] && return 0
  echo "$1: share/ostra/stamp.sh is missing or not mode 755"
  return 1
}

# check_deb PACKAGE DIR: DIR holds the unpacked package. Its documents name no script of the
# repository, it depends on nothing, neither lintian nor mandoc (on the manual page) finds an error
# or a warning, and the page's example is whole.
check_deb() {
  local status=0 report
  ! grep -n 'tools/' "$2"/usr/share/doc/ostra/{README.md,docs/recipes.md,docs/behaviour.md} ||
    { echo "$1: its documents name scripts the package lacks"; status=1; }
  [ -z "$(dpkg-deb -f "$out/$1" Depends Pre-Depends)" ] ||
    { echo "$1: depends on $(dpkg-deb -f "$out/$1" Depends Pre-Depends)"; status=1; }
  report=$(lintian --fail-on error,warning "$out/$1" 2>&1) ||
    { echo "$1: lintian finds errors or warnings"; status=1; }
  grep -v 'running with root privileges' <<<"$report" || true
  mandoc -T lint -W warning "$2/usr/share/man/man1/ostra.1.gz" ||
    { echo "$1: mandoc finds faults in the manual page"; status=1; }
  zgrep -q -- '/burnstring @@SERIAL@@ ' "$2/usr/share/man/man1/ostra.1.gz" ||
    { echo "$1: the manual page's example lost its placeholder"; status=1; }
  return $status
}

fail=0
start=$SECONDS
for package in "${packages[@]}"; do
  [ -f "$out/$package" ] || { echo "missing package $package"; fail=1; continue; }
  (cd "$out" && sha256sum --quiet -c "$package.sha256") || { echo "$package: bad SHA-256 file"; fail=1; }
  echo "$package: $(stat -c %s "$out/$package") bytes"
  dir=$(mktemp -d)
  unpack "$out/$package" "$dir"
  case "$package" in
    *.tar.gz) top=$dir/${package%.tar.gz}
              check_examples "$package" "$top/share/doc/ostra/examples" || fail=1
              check_recipe "$package" "$top" || fail=1
              case "$package" in
                *-aarch64.tar.gz) run=("${qemu[@]}" "$top/bin/ostra") ;;
                *) run=("$top/bin/ostra") ;;
              esac
              (cd "$dir" && stamp_with "$package" "${run[@]}") || fail=1 ;;
    *.zip)    top=$dir/${package%.zip}
              for f in ostra.exe README.md LICENSE docs/recipes.md docs/behaviour.md docs/ostra.html; do
                [ -f "$top/$f" ] || { echo "$package lacks $f"; fail=1; }
              done
              check_examples "$package" "$top/examples" || fail=1
              case "$package" in
                *-win64.zip) (cd "$dir" &&
                                stamp_with "$package" "$wine_run" /usr/lib/wine/wine64 "$top/ostra.exe") ||
                               fail=1 ;;
                *) if [ -n "${OSTRA_NO_32BIT:-}" ]; then
                     echo "$package: contents checked; its 32-bit program not run (OSTRA_NO_32BIT is set)"
                   else
                     (cd "$dir" && stamp_with "$package" "$wine_run" wine "$top/ostra.exe") || fail=1
                   fi ;;
              esac ;;
    *.deb)    check_examples "$package" "$dir/usr/share/doc/ostra/examples" || fail=1
              check_recipe "$package" "$dir/usr" || fail=1
              check_deb "$package" "$dir" || fail=1
              case "$package" in
                # A foreign package is not installed: its program runs under qemu.
                *_arm64.deb) (cd "$dir" && stamp_with "$package" "${qemu[@]}" "$dir/usr/bin/ostra") ||
                               fail=1 ;;
                *) install_deb "$out/$package" "$dir" || fail=1 ;;
              esac ;;
    *.rpm)    check_examples "$package" "$dir/usr/share/doc/ostra/examples" || fail=1
              check_recipe "$package" "$dir/usr" || fail=1
              # rpmlint's status tells only of errors.
              rpmlint -c packaging/rpmlint.toml "$out/$package" >"$dir/rpmlint.txt" 2>&1 || true
              grep -q ' 0 errors, 0 warnings' "$dir/rpmlint.txt" ||
                { cat "$dir/rpmlint.txt"; echo "$package: rpmlint finds errors or warnings"; fail=1; }
              case "$package" in
                *.aarch64.rpm) run=("${qemu[@]}" "$dir/usr/bin/ostra") ;;
                *) run=("$dir/usr/bin/ostra") ;;
              esac
              (cd "$dir" && stamp_with "$package" "${run[@]}") || fail=1 ;;
  esac
  rm -rf "$dir"
done
echo "packages checked in $((SECONDS - start)) s"

# The second build: a clone of the last commit, so it can only match a tree that is committed.
if [ -n "$(git status --porcelain)" ]; then
  echo "packages not rebuilt for comparison: the working tree differs from its last commit"
  exit $fail
fi
start=$SECONDS
again=$(mktemp -d /tmp/ostra-rebuild.XXXXXX)
git clone -q --no-checkout . "$again/src"
git -C "$again/src" checkout -q "$(git rev-parse HEAD)"
user=$(id -un)
as_user=()
if [ "$user" = root ]; then
  user=nobody
  chown -R nobody:nogroup "$again"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$again")
fi
if ! (cd "$again/src" && umask 0077 && TZ=NPT-5:45 "${as_user[@]}" bash -euc '
        for build; do
          cmake --preset "$build" -DOSTRA_BUILD_TESTS=OFF
          cmake --build --preset "$build"
          (cd "build/$build" && cpack -B "$0")
        done' "$again/packages" "${builds[@]}") >"$again/log" 2>&1; then
  echo "the second build failed:"; tail -n 20 "$again/log"
  exit 1
fi
echo "packages built again by $user from a clone in $again/src in $((SECONDS - start)) s"
echo "SHA-256 of the first build, then of the second:"
for package in "${packages[@]}"; do
  first=$(sha256sum "$out/$package" | cut -d' ' -f1)
  second=$(sha256sum "$again/packages/$package" 2>/dev/null | cut -d' ' -f1) || true
  printf '%s\n%s  %s\n' "$first" "${second:-(missing)}" "$package"
  [ "$first" = "$second" ] || { echo "$package: the second build differs"; fail=1; }
done
[ $fail -ne 0 ] || rm -rf "$again"
exit $fail
