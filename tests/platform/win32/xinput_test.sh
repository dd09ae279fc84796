#!/usr/bin/env bash
# Runs xinput_probe on its own Xvfb server and drives it with real X input
# (xdotool): a key release in the main window, a click on the Diffuse radio, a
# drag of the Red trackbar's thumb. Checks the messages the probe reports and
# saves a screenshot of the panel.
# Usage: xinput_test.sh <probe executable> <screenshot.png>
set -euo pipefail
probe=$1
shot=$2
work=$(mktemp -d)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../../scripts/lib/xsession.sh
source "$here/../../../scripts/lib/xsession.sh"
probe_pid=""
cleanup() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null || true
  xsession_stop
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "xinput_test: $*" >&2
  echo "--- probe output ---" >&2
  cat "$work/log" >&2 || true
  exit 1
}

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup-deps installs it)"
done

xsession_start 1280x1024 || fail "no private X server"

SDL_VIDEODRIVER=x11 "$probe" first "two words" >"$work/log" 2>&1 &
probe_pid=$!
for _ in $(seq 200); do
  grep -q '^READY' "$work/log" 2>/dev/null && break
  kill -0 "$probe_pid" 2>/dev/null || fail "the probe ended before its windows were up"
  sleep 0.1
done
ready=$(grep '^READY' "$work/log") || fail "the probe did not get ready"
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<"$ready"; }
IFS=, read -r main_x main_y <<<"$(field main)"
IFS=, read -r panel_x panel_y panel_w panel_h <<<"$(field panel)"
IFS=, read -r diffuse_x diffuse_y <<<"$(field diffuse)"
IFS=, read -r thumb_x thumb_y <<<"$(field thumb)"
drag_to=$(field dragto)

settle() { sleep 0.4; }
# A click in the main window gives it the focus; then the key 1 goes down and up.
xdotool mousemove "$main_x" "$main_y" click 1; settle
xdotool key 1; settle
# The Diffuse radio.
xdotool mousemove "$diffuse_x" "$diffuse_y" click 1; settle
# Drag the Red trackbar's thumb to the middle of its channel.
xdotool mousemove "$thumb_x" "$thumb_y" mousedown 1; settle
xdotool mousemove $(( (thumb_x + drag_to) / 2 )) "$thumb_y"; settle
xdotool mousemove "$drag_to" "$thumb_y"; settle
xdotool mouseup 1; settle

# The panel as the X server shows it.
import -window root -crop "${panel_w}x${panel_h}+${panel_x}+${panel_y}" +repage "$shot" ||
  fail "the screenshot could not be taken"

# Escape released in the main window closes it.
xdotool mousemove "$main_x" "$main_y" click 1; settle
xdotool key Escape
for _ in $(seq 100); do
  kill -0 "$probe_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$probe_pid" 2>/dev/null && fail "the probe did not quit after Escape"
wait "$probe_pid" || fail "the probe exited with an error"
probe_pid=""

expect() {
  grep -Eq "$1" "$work/log" || fail "missing: $2 (pattern $1)"
}
expect '^ENTRY instance=module previous=null show=10 cmdline=\[first "two words"\]$' "WinMain's arguments"
expect '^WM_KEYDOWN vk=0x31 lparam=0x00020001 to=main$' "key 1 pressed in the main window"
expect '^WM_KEYUP vk=0x31 lparam=0xc0020001 to=main$' "key 1 released in the main window"
expect '^WM_COMMAND id=1002 code=0 checks=010/100$' "Diffuse clicked, Ambient cleared, X Axis kept"
expect '^WM_HSCROLL id=1009 code=5 pos=[0-9]+$' "thumb tracking on the Red trackbar"
expect '^WM_HSCROLL id=1009 code=4 pos=(4[5-9]|5[0-5])$' "thumb released near the middle"
expect '^WM_HSCROLL id=1009 code=8 ' "end of tracking"
expect '^WM_KEYUP vk=0x1b ' "Escape released"
expect '^QUIT$' "the quit message ended the loop"
echo "xinput_test: all messages arrived; screenshot $shot"
