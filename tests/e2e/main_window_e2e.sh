#!/usr/bin/env bash
# The real program on a real X server: waits for its window by title, saves a screenshot, checks
# the window's size, then closes it as a user would and expects a clean exit.
# Usage: main_window_e2e.sh TALOMA X_CLOSE_WINDOW SCREENSHOT.png
set -euo pipefail
taloma=$1
closer=$2
screenshot=$3

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes its display number once it accepts clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
read -r -t 60 display_number <"$work/display" || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display_number"

mkdir -m 700 "$work/run"
XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$taloma" 2>"$work/taloma.log" &
app_pid=$!

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Taloma v2\.0 ' | head -n 1)
[ -n "$window" ] || { echo "the main window never appeared"; cat "$work/taloma.log"; exit 1; }
title=$(xdotool getwindowname "$window")
[ "$title" = "Taloma v2.0 (身分證字號產生器)" ] || { echo "unexpected title: $title"; exit 1; }

# Let the first frame be painted before the picture is taken.
timeout 30 xdotool search --sync --onlyvisible --name '^Taloma v2\.0 ' >/dev/null
mkdir -p "$(dirname "$screenshot")"
import -window "$window" "$screenshot"
size=$(identify -format '%wx%h' "$screenshot")
[ "$size" = "219x275" ] || { echo "window is $size, expected 219x275"; exit 1; }
colours=$(convert "$screenshot" -format '%k' info:)
[ "$colours" -gt 50 ] || { echo "the window looks empty ($colours colours)"; exit 1; }
echo "screenshot: $screenshot ($size, $colours colours)"

"$closer" "$window"
status=0
timeout 30 tail --pid="$app_pid" -f /dev/null || { echo "the program did not close"; exit 1; }
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || { echo "the program exited with status $status"; cat "$work/taloma.log"; exit 1; }
echo "closed cleanly"
