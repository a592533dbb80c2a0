#!/usr/bin/env bash
# Runs a test program on its own X server (Xvfb, 1024x768) with the openbox
# window manager, as a desktop shows windows: run_with_window_manager.sh PROGRAM [ARGS]
# (VELMORA_TEST_SCREEN=WxH for another screen size)
set -euo pipefail
exec 3>&1
xvfb_log=$(mktemp)
Xvfb -displayfd 4 -screen 0 "${VELMORA_TEST_SCREEN:-1024x768}x24" -nolisten tcp 4> "$xvfb_log.fd" 2> "$xvfb_log" &
xvfb=$!
cleanup() {
  kill "${wm:-}" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$xvfb_log" "$xvfb_log.fd"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$xvfb_log.fd" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$xvfb_log.fd")"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# The window manager is ready when it has claimed the screen.
for _ in $(seq 100); do
  wmctrl -m >/dev/null 2>&1 && break
  sleep 0.1
done
unset QT_QPA_PLATFORM
"$@"
