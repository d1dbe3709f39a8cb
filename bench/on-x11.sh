#!/bin/bash
# Runs a program on a virtual X display of 1920 x 1200 with a window manager
# (openbox), so that windows are placed, maximised and shown as on a desktop:
# every show, hide and modal window goes through the X server.
#
# Usage:  on-x11.sh PROGRAM [ARGS...]
set -euo pipefail

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$wm" "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$@"
