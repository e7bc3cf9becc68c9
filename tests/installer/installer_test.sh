#!/usr/bin/env bash
# The Windows installer under Wine, in a copy of the x86-64 test prefix:
# a silent install puts the x86-64 Zarvo.scr in the system folder with the
# uninstaller's registry entries, the installed saver runs full screen, and
# the uninstaller removes it all but the stored settings, unless asked.
# Usage: installer_test.sh VERSION SCR32 SCR64 WINE64 WORK
# Exits 77 (skipped) where the 32-bit installer cannot run: no 32-bit build
# beside this one, a kernel without 32-bit programs or no 32-bit Wine
# (tools/win32-route.sh).
set -uo pipefail
version=$1 scr32=$2 scr64=$3 wine64=$4 work=$5
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../tools/win32-route.sh
. "$here/tools/win32-route.sh"
[ -f "$scr32" ] || { echo "no 32-bit Zarvo.scr at $scr32 (build the win32 preset); skipped"; exit 77; }
runs_i386_program || { echo "this kernel cannot run the 32-bit installer; skipped"; exit 77; }
[ -x "$wine32_loader" ] || { echo "no 32-bit Wine ($wine32_loader) to run the 32-bit installer; skipped"; exit 77; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rm -rf "$work"; mkdir -p "$work"
setup=$work/ZarvoSetup-$version.exe
"$here/tools/make-installer.sh" "$version" "$scr32" "$scr64" "$setup" || { echo "FAIL: makensis"; exit 1; }

base=$("$here/cmake/wine-run.sh" "$wine64" --make-prefix) || exit 1
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=winedbg.exe=d
cp -a "$base" "$WINEPREFIX"
n=$(( 200 + RANDOM % 100 ))
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
export DISPLAY=:$n
until xdpyinfo >/dev/null 2>&1; do kill -0 $xvfb 2>/dev/null || { echo "Xvfb failed"; exit 1; }; sleep 0.1; done

# Every run ends with the prefix's server, so the registry files are written.
wine_wait() { "$@" >/dev/null 2>&1; local status=$?; wineserver -w; return $status; }
# reg_value FILE KEY NAME: the value's text in a registry file, "" if absent.
reg_value() {
  local key=${2//\\/\\\\\\\\}
  awk -v key="[$key]" -v name="\"$3\"" '
    /^\[/ { inside = (index($0, key) == 1 && substr($0, length(key) + 1, 1) ~ /^( |$)/) }
    inside && index($0, name "=") == 1 { print substr($0, length(name) + 2) }' "$WINEPREFIX/$1"
}
installed=$WINEPREFIX/drive_c/windows/system32/Zarvo.scr
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvo'
settings_key='Software\Quillmark\ScreenSavers\Zarvo'
desktop_key='Control Panel\Desktop'

# The person's stored settings, before anything is installed.
wine_wait "$wine64" reg add "HKCU\\$settings_key" /v Config /t REG_BINARY /d 0102030405 /f

wine_wait wine "$setup" /S /CURRENT || fail "the silent install failed"
cmp -s "$installed" "$scr64" || fail "expected the x86-64 Zarvo.scr in system32"
[ ! -e "$WINEPREFIX/drive_c/windows/syswow64/Zarvo.scr" ] || fail "expected nothing in syswow64"
[ "$(reg_value system.reg "$uninstall_key" DisplayVersion)" = "\"$version\"" ] ||
  fail "expected DisplayVersion $version in the 64-bit view of HKLM\\$uninstall_key"
uninstaller=$(reg_value system.reg "$uninstall_key" UninstallString)
[ "$uninstaller" = '"\"C:\\Program Files\\Zarvo\\Uninstall.exe\""' ] ||
  fail "expected the uninstaller in Program Files, got $uninstaller"
[ -f "$WINEPREFIX/drive_c/Program Files/Zarvo/Uninstall.exe" ] || fail "expected Uninstall.exe"
[ "$(reg_value user.reg "$desktop_key" SCRNSAVE.EXE)" = '"C:\\windows\\System32\\Zarvo.scr"' ] ||
  fail "expected /CURRENT to make Zarvo the current screen saver"

# The installed saver, started as the desktop starts it, paints the scene.
"$wine64" 'C:\windows\system32\Zarvo.scr' /s >/dev/null 2>&1 &
saver=$!
sleep 4
kill -0 $saver 2>/dev/null || fail "the installed saver ended within 4 s"
colours=$(import -display ":$n" -window root -format '%k' info: 2>/dev/null)
[ "${colours:-0}" -gt 32 ] || fail "expected the scene on the screen, got ${colours:-no} colours"
wineserver -k; wait $saver 2>/dev/null

wine_wait wine "C:\\Program Files\\Zarvo\\Uninstall.exe" /S || fail "the silent uninstall failed"
[ ! -e "$installed" ] || fail "expected the uninstaller to remove Zarvo.scr"
[ -z "$(reg_value system.reg "$uninstall_key" DisplayName)" ] || fail "expected the Uninstall key removed"
[ -z "$(reg_value user.reg "$desktop_key" SCRNSAVE.EXE)" ] || fail "expected SCRNSAVE.EXE cleared"
[ "$(reg_value user.reg "$settings_key" Config)" = 'hex:01,02,03,04,05' ] ||
  fail "expected the stored settings kept"

# Silent without /CURRENT leaves the current screen saver alone; asked to,
# the uninstaller removes the stored settings too.
wine_wait wine "$setup" /S || fail "the second silent install failed"
[ -z "$(reg_value user.reg "$desktop_key" SCRNSAVE.EXE)" ] || fail "expected no SCRNSAVE.EXE without /CURRENT"
wine_wait wine "C:\\Program Files\\Zarvo\\Uninstall.exe" /S /REMOVESETTINGS || fail "the second uninstall failed"
[ -z "$(reg_value user.reg "$settings_key" Config)" ] || fail "expected /REMOVESETTINGS to remove the settings"
[ ! -e "$installed" ] || fail "expected Zarvo.scr removed again"

[ $failures -eq 0 ] && echo "installer: install, run and uninstall as expected"
exit $((failures > 0))
