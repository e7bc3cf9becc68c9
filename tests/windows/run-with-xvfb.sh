#!/usr/bin/env bash
# Runs a Windows test program under Wine on an Xvfb display of its own.
# Usage: run-with-xvfb.sh DISPLAY-BASE WINE-RUN PROGRAM [ARGS...]
set -uo pipefail
n=$1; shift
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null' EXIT
export DISPLAY=":$n"
deadline=$((SECONDS + 20))
until xdpyinfo >/dev/null 2>&1; do
  if [ $SECONDS -ge $deadline ] || ! kill -0 "$xvfb" 2>/dev/null; then echo "Xvfb :$n did not start"; exit 1; fi
  sleep 0.1
done
"$@"
