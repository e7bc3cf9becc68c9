#!/usr/bin/env bash
# End-to-end tests of Zarvo.scr under Wine and Xvfb. Usage:
#   run-e2e.sh control|screens|smoke|life-cycle WORKDIR
# with ZARVO_SCR, ZARVO_DRIVER, ZARVO_PASSWORD_STANDIN, ZARVO_MPR_STANDIN,
# ZARVO_RENDER (a native zarvo-render) and ZARVO_DISPLAY_BASE in the
# environment (ctest sets them). Each group makes its own Wine prefix under
# WORKDIR and its own Xvfb displays, and removes nothing but what it made.
set -uo pipefail
export LC_ALL=C
group=$1
work=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
display_base=${ZARVO_DISPLAY_BASE:-140}
case "$group" in
  screens) display_base=$((display_base + 10)) ;;
  smoke) display_base=$((display_base + 5)) ;;
  life-cycle) display_base=$((display_base + 8)) ;;
esac

# shellcheck source=lib.sh
. "$here/lib.sh"
# shellcheck source=control.sh
. "$here/control.sh"
# shellcheck source=screens.sh
. "$here/screens.sh"
# shellcheck source=life-cycle.sh
. "$here/life-cycle.sh"
# shellcheck source=two-monitors.sh
. "$here/two-monitors.sh"

rm -rf "$work"
mkdir -p "$work"
stage=$work/stage
mkdir -p "$stage"
# The stand-ins sit beside the saver, where its LoadLibraryA looks first.
cp "$ZARVO_SCR" "$ZARVO_DRIVER" "$ZARVO_PASSWORD_STANDIN" "$ZARVO_MPR_STANDIN" "$stage/"
mv "$stage/$(basename "$ZARVO_DRIVER")" "$stage/zarvo-e2e-driver.exe"
trap cleanup EXIT

started=$SECONDS
case "$group" in
  control) run_control_cases ;;
  screens) run_screen_cases ;;
  smoke) run_smoke ;;
  life-cycle) run_life_cycles ;;
  *) echo "unknown group $group"; exit 2 ;;
esac
cleanup
trap - EXIT
# A prefix takes over a gigabyte; screenshots and logs stay for a person to look at.
rm -rf "$work/prefix"
log "$group: $checks checks, $failures failures, $((SECONDS - started)) s"
[ "$failures" -eq 0 ]
