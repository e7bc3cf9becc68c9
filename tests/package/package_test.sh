#!/usr/bin/env bash
# The Debian package as CPack makes it from this build: its name and fields,
# the files a packager expects where they belong, stripped programs, no
# lintian errors, the zarvo-render it installs into a scratch root draws
# the scene, and dpkg's purge removes every file it installed. Made twice,
# it is the same bytes.
# Usage: package_test.sh BUILD VERSION WORK MAINTAINER
set -uo pipefail
build=$1 version=$2 work=$3 maintainer=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rm -rf "$work"; mkdir -p "$work"
# Dates in the package come from SOURCE_DATE_EPOCH, as tools/release.sh sets it.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-1765000000}
package() {  # package FOLDER: the .deb made into FOLDER
  (cd "$build" && cpack --config CPackConfig.cmake -B "$1" >"$1.log" 2>&1) ||
    { cat "$1.log"; echo "FAIL: cpack"; exit 1; }
  [ -f "$1/zarvo_${version}_amd64.deb" ] || { echo "FAIL: expected zarvo_${version}_amd64.deb"; exit 1; }
}
package "$work/cpack"
deb=$work/cpack/zarvo_${version}_amd64.deb
# Made again a second later, the package is the same bytes.
sleep 1
package "$work/again"
cmp "$deb" "$work/again/zarvo_${version}_amd64.deb" || fail "a second package differs"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zarvo ] || fail "expected Package: zarvo"
[ "$(field Version)" = "$version" ] || fail "expected Version: $version, got $(field Version)"
[ "$(field Maintainer)" = "$maintainer" ] || fail "expected Maintainer: $maintainer, got $(field Maintainer)"
for library in libx11-6 libxrandr2 libxinerama1 zlib1g libc6; do
  [[ ", $(field Depends)," == *", $library"[\ ,]* ]] || fail "expected a dependency on $library"
done

# The settings window where the build found GTK 4: its program, its entry
# and its library.
settings_files=()
if grep -q '^ZARVO_GTK:BOOL=ON' "$build/CMakeCache.txt"; then
  settings_files=(./usr/bin/zarvo-settings ./usr/share/applications/zarvo-settings.desktop)
  [[ ", $(field Depends)," == *", libgtk-4-1"[\ ,]* ]] || fail "expected a dependency on libgtk-4-1"
fi

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/zarvo ./usr/bin/zarvo-render ./usr/libexec/xscreensaver/zarvo \
    ./usr/share/xscreensaver/config/zarvo.xml ./usr/share/man/man6/zarvo.6.gz \
    ./usr/share/man/man1/zarvo-render.1.gz ./usr/share/applications/zarvo.desktop \
    ./usr/share/applications/screensavers/zarvo.desktop \
    ./usr/share/icons/hicolor/48x48/apps/zarvo.png ./usr/share/doc/zarvo/copyright "${settings_files[@]}"; do
  grep -qx -- "$path" <<<"$contents" || fail "expected $path in the package"
done
# zarvo once, on the PATH; XScreenSaver's folder links to it.
link=$(dpkg-deb -c "$deb" | awk '$6 == "./usr/libexec/xscreensaver/zarvo" { print substr($1, 1, 1), $8 }')
[ "$link" = "l ../../bin/zarvo" ] || fail "expected libexec/xscreensaver/zarvo a link to ../../bin/zarvo, got '$link'"
# Only what was installed for the program: nothing of the tests or tools.
unexpected=$(grep -v -e '/$' -e '^./usr/bin/' -e '^./usr/libexec/xscreensaver/' -e '^./usr/share/' <<<"$contents")
[ -z "$unexpected" ] || fail "unexpected files in the package: $unexpected"

if command -v lintian >/dev/null; then
  lintian -I --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
  cat "$work/lintian.txt"
  ! grep -q '^E: ' "$work/lintian.txt" || fail "lintian reports errors"
  ! grep -q 'hardening-' "$work/lintian.txt" || fail "lintian misses hardening flags (dpkg-buildflags)"
else
  fail "lintian is not installed (tools/install-deps.sh test)"
fi

root=$work/root
dpkg -x "$deb" "$root" || fail "dpkg -x"
zcat "$root/usr/share/doc/zarvo/changelog.gz" | grep -qF " -- $maintainer  " ||
  fail "expected the changelog signed by $maintainer"
for program in usr/bin/zarvo usr/bin/zarvo-render "${settings_files[@]#./}"; do
  [[ $program == *.desktop ]] && continue
  [ -z "$(readelf -S "$root/$program" | grep -e '\.symtab' -e '\.debug_')" ] ||
    fail "expected $program stripped"
done
# The installed renderer reads its pictures from itself, not from the build.
XDG_CONFIG_HOME=$work/config "$root/usr/bin/zarvo-render" --size 640x480 --seed 7 --ticks 3 \
  --out "$work/frame.png" || fail "the installed zarvo-render failed"
[ "$(identify -format '%wx%h' "$work/frame.png" 2>/dev/null)" = 640x480 ] ||
  fail "expected a 640x480 picture from the installed zarvo-render"
[ "$(identify -format '%k' "$work/frame.png" 2>/dev/null)" -gt 16 ] 2>/dev/null ||
  fail "expected the scene in the installed zarvo-render's picture"

# Installed by dpkg into a root of its own and purged again, the package
# leaves nothing behind but dpkg's records.
system=$work/system
mkdir -p "$system/var/lib/dpkg/info" "$system/var/lib/dpkg/updates"
touch "$system/var/lib/dpkg/status" "$system/var/lib/dpkg/available"
if dpkg --root="$system" --force-depends -i "$deb" >"$work/dpkg.log" 2>&1; then
  for path in usr/bin/zarvo usr/share/applications/screensavers/zarvo.desktop "${settings_files[@]#./}"; do
    [ -e "$system/$path" ] || fail "expected dpkg to install /$path"
  done
  dpkg --root="$system" --purge zarvo >>"$work/dpkg.log" 2>&1 || fail "dpkg --purge zarvo: $(cat "$work/dpkg.log")"
  left=$(cd "$system" && find . -mindepth 1 ! -path './var/lib/dpkg/*' ! -path ./var/lib/dpkg ! -path ./var/lib ! -path ./var)
  [ -z "$left" ] || fail "expected the purge to remove every file, left: $left"
else
  fail "dpkg -i into $system: $(cat "$work/dpkg.log")"
fi

[ $failures -eq 0 ] && echo "package: $(basename "$deb") as expected"
exit $((failures > 0))
