#!/usr/bin/env bash
# taloma.exe, the Windows build, under wine on an Xvfb screen, used as a person would: its window
# appears with its title, 產生號碼 then 全部 puts a valid number on the clipboard, a second start
# shows no second window, and a screenshot is saved for review.
# Usage: windows_window_e2e.sh TALOMA.exe TALOMA-ID.exe SCREENSHOT.png (with WINEPREFIX set)
set -euo pipefail
taloma=$1
taloma_id=$2
screenshot=$3
wine=${TALOMA_EMULATOR:-wine}

for tool in Xvfb xdotool xclip import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Wine's desktop process belongs to the display of the wineserver that started it: one started
# without a display (by an earlier test) would keep every window off this screen.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
read -r -t 60 display_number <"$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$display_number"

"$wine" "$taloma" 2>"$work/taloma.log" &
pids+=($!)
window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Taloma v2\.0 ' | head -n 1) || true
[ -n "$window" ] || { echo "the window never appeared"; cat "$work/taloma.log"; exit 1; }
title=$(xdotool getwindowname "$window")
[ "$title" = "Taloma v2.0 (身分證字號產生器)" ] || { echo "unexpected title: $title"; exit 1; }
echo "the window appeared: $title"

# 產生號碼 and 全部, at the middle of where the window puts them (in pixels of the client area).
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.5; }
click 37 87
click 157 258
number=
for _ in $(seq 100); do
  number=$(xclip -selection clipboard -o 2>/dev/null | tr -d '\r\n') && [ -n "$number" ] && break
  sleep 0.2
done
[[ $number =~ ^[A-Z][12][0-9]{8}$ ]] || { echo "the clipboard holds '$number'"; exit 1; }
"$wine" "$taloma_id" check -s "$number" || { echo "$number is not valid"; exit 1; }
echo "a valid number reached the clipboard: $number"

# A second start ends by itself and shows nothing.
timeout 120 "$wine" "$taloma" 2>>"$work/taloma.log" || { echo "a second copy did not end"; exit 1; }
windows=$(xdotool search --onlyvisible --name '^Taloma v2\.0 ' | wc -l)
[ "$windows" -eq 1 ] || { echo "$windows windows are shown"; exit 1; }
echo "a second start showed no second window"

mkdir -p "$(dirname "$screenshot")"
import -window "$window" "$screenshot"
echo "screenshot: $screenshot ($(identify -format '%wx%h' "$screenshot"))"
