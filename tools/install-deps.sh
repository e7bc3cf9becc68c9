#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (as root).
# Usage: install-deps.sh [run|web|test|emulation]
#   run        what the screen saver needs
#   web        what building the web page needs (tools/build-web.sh)
#   test       all of these, and what every test needs
#   emulation  qemu-user, for the 32-bit Windows tests on a kernel that cannot
#              run 32-bit programs (see win32-route.sh)
set -euo pipefail
what=${1:-test}
run_pkgs=(cmake ninja-build g++ pkg-config libx11-dev libxext-dev libxrandr-dev libxinerama-dev zlib1g-dev libgif-dev
  libwayland-dev wayland-protocols plasma-wayland-protocols libxkbcommon-dev libgtk-4-dev)
web_pkgs=(cmake ninja-build emscripten node-acorn)
test_pkgs=(libpng-dev clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev libsdl2-dev
  mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick libxml2-utils ccache xscreensaver
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils chromium
  nsis lintian dpkg-dev sway grim wtype clang-format desktop-file-utils mate-screensaver dbus-daemon)
case "$what" in
  run) pkgs=("${run_pkgs[@]}") ;;
  web) pkgs=("${web_pkgs[@]}") ;;
  test) pkgs=("${run_pkgs[@]}" "${web_pkgs[@]}" "${test_pkgs[@]}") ;;
  emulation) pkgs=(qemu-user-static) ;;
  *) echo "usage: install-deps.sh [run|web|test|emulation]" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

# A failure that is known today is remembered, one line "DATE WHAT REASON"
# each, so that later runs of the day go straight on instead of waiting for
# it again. Removing the file tries everything again.
memo=${XDG_CACHE_HOME:-$HOME/.cache}/zarvo/install-deps-failures
today=$(date +%F)
# failed_today WHAT: true when WHAT failed today; says so, with the reason.
failed_today() {
  local reason
  reason=$(awk -v day="$today" -v what="$1" '$1 == day && $2 == what { $1 = $2 = ""; sub(/^ +/, ""); r = $0 }
                                             END { print r }' "$memo" 2>/dev/null || true)
  [ -n "$reason" ] || return 1
  echo "install-deps: $1 failed earlier today ($reason); not trying again today (remove $memo to try now)" >&2
}
remember_failure() {  # remember_failure WHAT REASON
  mkdir -p "$(dirname "$memo")" &&
    { grep -s "^$today " "$memo" | grep -v "^$today $1 " || true; printf '%s %s %s\n' "$today" "$1" "$2"; } >"$memo.new" &&
    mv "$memo.new" "$memo"
}

# The 32-bit packages go in last and on their own: a foreign architecture's
# index can lag the native one (seen: an i386 security index that never
# matched), and then they cannot match the native libraries' versions. Every
# other test still needs the rest; without 32-bit Wine the test run chooses
# its route for the 32-bit tests accordingly (win32-route.sh) and says so.
native=() foreign=()
for p in "${missing[@]}"; do
  case $p in *:i386) foreign+=("$p") ;; *) native+=("$p") ;; esac
done
if [ ${#foreign[@]} -gt 0 ] && failed_today i386-packages; then
  foreign=()
  [ ${#native[@]} -eq 0 ] && exit 0
fi
[ ${#foreign[@]} -eq 0 ] || $SUDO dpkg --add-architecture i386

# A mirror in the middle of a sync serves an index whose size does not match
# its release file ("Mirror sync in progress?"): tried once more after a
# pause, as the sync may just have ended. A network that does not answer is
# waited for longer. If the update still fails, the packages come from the
# indexes that were read, and apt names any package it cannot place.
update_index() {
  local output attempt=0 pauses=(20)
  while :; do
    output=$($SUDO apt-get update -qq 2>&1) && return 0
    printf '%s\n' "$output" >&2
    if grep -Eqi 'timed out|temporary failure|could not connect|could not resolve|unable to connect' <<<"$output"; then
      pauses=(20 40 80 160)
    fi
    [ "$attempt" -lt ${#pauses[@]} ] || break
    echo "install-deps: apt-get update failed; trying again in ${pauses[attempt]} s" >&2
    sleep "${pauses[attempt]}"
    attempt=$((attempt + 1))
  done
  update_failure=$(grep -m 1 '^E: ' <<<"$output" | cut -c4- || true)
  return 1
}
if ! failed_today index-update && ! update_index; then
  echo "install-deps: apt-get update kept failing; installing from the indexes it read" >&2
  remember_failure index-update "${update_failure:-apt-get update failed}"
fi

[ ${#native[@]} -eq 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "${native[@]}" >/dev/null
[ ${#foreign[@]} -eq 0 ] && exit 0
if ! $SUDO apt-get install -y -qq --no-install-recommends "${foreign[@]}" >/dev/null; then
  echo "install-deps: could not install ${foreign[*]}; the 32-bit Windows programs cannot be run here" >&2
  remember_failure i386-packages "${foreign[*]} could not be installed"
fi
