#!/usr/bin/env bash
# cmake/wine-run.sh makes its prefix whole or not at all, with a stand-in
# loader whose first boots leave the registry but no system DLLs (as a boot
# cut short did): it boots again until the prefix is whole, boots no more
# once it is, and gives up with a message after three tries, leaving no
# prefix that Wine would take as made.
set -u
run=$(cd "$(dirname "$0")/../.." && pwd)/cmake/wine-run.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
cat >"$work/loader" <<'EOF'
#!/bin/bash
if [ "$1" = wineboot ]; then
  n=$(cat "$BOOTS" 2>/dev/null || echo 0)
  echo $((n + 1)) >"$BOOTS"
  mkdir -p "$WINEPREFIX/drive_c/windows/system32"
  echo registry >"$WINEPREFIX/system.reg"
  [ "$n" -lt "$HALF_BOOTS" ] || echo dll >"$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
  exit 0
fi
echo "ran $*"
EOF
chmod +x "$work/bin/wineserver" "$work/loader"
export PATH=$work/bin:$PATH

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# case HALF_BOOTS: runs `program` in a fresh prefix; sets out, status, boots.
case_run() {
  prefix=$work/prefix-$1
  export BOOTS=$work/boots-$1 HALF_BOOTS=$1
  out=$(ZARVO_WINEPREFIX=$prefix "$run" "$work/loader" program 2>&1)
  status=$?
  boots=$(cat "$BOOTS" 2>/dev/null || echo 0)
}

for half in 0 1 2; do
  case_run $half
  [ $status -eq 0 ] && [[ $out == *"ran program"* ]] || fail "$half half boots: status $status, said: $out"
  [ "$boots" -eq $((half + 1)) ] || fail "$half half boots: $boots boots"
  [ -f "$prefix/drive_c/windows/system32/kernel32.dll" ] || fail "$half half boots: the prefix is not whole"
  [ ! -e "$prefix.new" ] || fail "$half half boots: the prefix being made was left behind"
  out=$(ZARVO_WINEPREFIX=$prefix "$run" "$work/loader" again 2>&1)
  [ "$(cat "$BOOTS")" -eq "$boots" ] && [[ $out == *"ran again"* ]] || fail "$half half boots: a made prefix was booted again"
done

case_run 9
[ $status -ne 0 ] || fail "a prefix never whole: status 0"
[[ $out == *"could not make the Wine prefix"* ]] || fail "a prefix never whole: said: $out"
[[ $out != *"ran program"* ]] || fail "a prefix never whole: the program ran"
[ "$boots" -eq 3 ] || fail "a prefix never whole: $boots boots"
[ ! -e "$prefix" ] && [ ! -e "$prefix.new" ] || fail "a prefix never whole: a prefix was left"

[ $failures -eq 0 ] && echo "wine-run.sh makes its prefix whole or not at all"
exit $((failures > 0))
