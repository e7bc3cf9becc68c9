#!/usr/bin/env bash
# cmake --install of the zarvo component into a temporary prefix gives the
# XScreenSaver layout and the desktop entries; zarvo.xml parses and names
# options that zarvo takes, with the ranges and defaults that its --help gives.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" --component zarvo >/dev/null

program=$prefix/libexec/xscreensaver/zarvo
xml=$prefix/share/xscreensaver/config/zarvo.xml
man=$prefix/share/man/man6/zarvo.6.gz
desktop=$prefix/share/applications/zarvo.desktop
[ -x "$program" ] || fail "expected the program at $program"
# One program, on the PATH, with a link to it where XScreenSaver looks.
[ "$(readlink "$program")" = ../../bin/zarvo ] || fail "expected $program a link to ../../bin/zarvo"
[ -f "$xml" ] || fail "expected the XScreenSaver config at $xml"
[ -f "$man" ] || fail "expected the man page at $man"
[ -f "$desktop" ] || fail "expected the desktop entry at $desktop"
zgrep -q '^\.TH ZARVO 6' "$man" || fail "expected a section 6 man page"
zgrep -q '^\.TH ZARVO\\-RENDER 1' "$prefix/share/man/man1/zarvo-render.1.gz" || fail "expected zarvo-render(1)"
for name in zarvo zarvo-render; do
  [ -x "$prefix/bin/$name" ] || fail "expected $name on the PATH, in $prefix/bin"
done
# The entry runs the program from the PATH and names an icon every size has.
exec_line=$(grep '^Exec=' "$desktop" || true)
[ "$exec_line" = "Exec=zarvo" ] || fail "expected Exec=zarvo, got '$exec_line'"
grep -qx 'Icon=zarvo' "$desktop" || fail "expected Icon=zarvo in the desktop entry"
# MATE's and XFCE's screen savers list this entry and run its Exec, found
# where XScreenSaver's hacks are, in their window; zarvo takes its options.
saver_entry=$prefix/share/applications/screensavers/zarvo.desktop
[ -f "$saver_entry" ] || fail "expected the screen savers' entry at $saver_entry"
grep -qx 'Categories=Screensaver;' "$saver_entry" || fail "expected Categories=Screensaver; in $saver_entry"
saver_exec=$(sed -n 's/^Exec=//p' "$saver_entry")
[ "${saver_exec%% *}" = zarvo ] || fail "expected the screen savers' entry to run zarvo, got '$saver_exec'"
# shellcheck disable=SC2086  # the command's words
XDG_CONFIG_HOME=$prefix "$program" ${saver_exec#zarvo} --help >/dev/null || fail "zarvo refuses '$saver_exec'"
command -v desktop-file-validate >/dev/null ||
  fail "desktop-file-validate is not installed (tools/install-deps.sh test installs desktop-file-utils)"
for entry in "$desktop" "$saver_entry"; do
  problems=$(desktop-file-validate "$entry" | grep -v ': hint: ' || true)
  [ -z "$problems" ] || fail "desktop-file-validate: $problems"
done
for size in 16 32 48 64; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/zarvo.png
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
    fail "expected a ${size}x${size} PNG at $icon"
done
# Every file the install wrote is in its manifest, so an uninstall removes it.
written=$(find "$prefix" ! -type d ! -path "$prefix/.config/*" | sort)
[ "$written" = "$(sort -u "$build/install_manifest_zarvo.txt")" ] ||
  fail "expected the install manifest to list every installed file"

xmllint --noout "$xml" || fail "expected zarvo.xml to parse"
count=$(xmllint --xpath 'count(//number)' "$xml")
[ "$count" = 6 ] || fail "expected 6 settings in zarvo.xml, got $count"
help=$(XDG_CONFIG_HOME=$prefix "$program" --help)
for i in $(seq 1 "$count"); do
  arg=$(xmllint --xpath "string((//number)[$i]/@arg)" "$xml")
  low=$(xmllint --xpath "string((//number)[$i]/@low)" "$xml")
  high=$(xmllint --xpath "string((//number)[$i]/@high)" "$xml")
  default=$(xmllint --xpath "string((//number)[$i]/@default)" "$xml")
  option=${arg%% *}
  [ "$arg" = "$option %" ] || fail "expected '$option %' as the arg, got '$arg'"
  XDG_CONFIG_HOME=$prefix "$program" "$option" "$default" --help >/dev/null ||
    fail "zarvo refuses $option $default"
  # The option's lines, up to the next option.
  line=$(printf '%s\n' "$help" | awk -v o="  $option " 'index($0, o) == 1 {on = 1; print; next} /^  --/ {on = 0} on')
  [[ "$line" == *"$low to $high, default $default"* ]] ||
    fail "expected '$low to $high, default $default' for $option in --help, got '$line'"
done
# The picture sizes: as many choices as --help lists sizes (a line "NAME: ..."
# each under --picture-size), each one zarvo takes.
sizes=$(printf '%s\n' "$help" | awk '/^  --picture-size /{on = 1; next} /^  --/{on = 0} on' | grep -cE '^ {24}[a-z-]+: ')
options=$(xmllint --xpath 'count(//option)' "$xml")
[ "$sizes" -ge 4 ] && [ "$options" = "$sizes" ] ||
  fail "expected as many choices (the picture sizes) in zarvo.xml as --help lists, $sizes, got $options"
for i in $(seq 1 "$options"); do
  # shellcheck disable=SC2046  # the option and its value are two words
  XDG_CONFIG_HOME=$prefix "$program" $(xmllint --xpath "string((//option)[$i]/@arg-set)" "$xml") --help >/dev/null ||
    fail "zarvo refuses choice $i of zarvo.xml"
done
for arg in $(xmllint --xpath 'string(//command/@arg)' "$xml"); do
  XDG_CONFIG_HOME=$prefix "$program" "$arg" --help >/dev/null || fail "zarvo refuses $arg"
done
echo "installed layout and zarvo.xml are as expected"
