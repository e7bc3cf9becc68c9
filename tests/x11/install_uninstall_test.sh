#!/usr/bin/env bash
# The README's install and uninstall, run as written on a scratch prefix that
# already holds a folder and a file of someone else's: tools/install.sh lists
# every file it wrote, and tools/uninstall.sh removes them all and the
# folders it made, leaving the prefix as it found it.
set -euo pipefail
source_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$prefix/share/applications"
echo other >"$prefix/share/applications/other.desktop"
before=$(cd "$prefix" && find . | sort)

"$source_dir/tools/install.sh" "$prefix" >/dev/null
list=$prefix/share/zarvo/installed-files
programs=(zarvo zarvo-render)
grep -q '^ZARVO_GTK:BOOL=ON' "$source_dir/build/run/CMakeCache.txt" && programs+=(zarvo-settings)
for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "expected $program in $prefix/bin"
  [ "$program" = zarvo-render ] || [ -f "$prefix/share/applications/$program.desktop" ] ||
    fail "expected the desktop entry of $program"
done
[ -f "$prefix/share/applications/screensavers/zarvo.desktop" ] || fail "expected the screen savers' entry"
written=$(find "$prefix" ! -type d ! -name other.desktop | sort)
[ "$written" = "$(grep -v '/$' "$list" | sort)" ] ||
  fail "expected $list to name every installed file: $(diff <(echo "$written") <(grep -v '/$' "$list" | sort))"
grep -qx "$prefix/share/applications/" "$list" && fail "share/applications was there before and is not the install's"

count=$(wc -l <<<"$written")
out=$("$source_dir/tools/uninstall.sh" "$prefix")
[[ "$out" == *"removed $count files"* ]] || fail "expected $count files removed, got '$out'"
after=$(cd "$prefix" && find . | sort)
[ "$after" = "$before" ] || fail "expected the prefix as before the install: $(diff <(echo "$before") <(echo "$after"))"
"$source_dir/tools/uninstall.sh" "$prefix" 2>/dev/null && fail "expected a second uninstall to say nothing is there"
echo "install and uninstall leave $prefix as it was"
