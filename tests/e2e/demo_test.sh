#!/usr/bin/env bash
# The built program under a private Xvfb, driven with real X input; screenshots are
# checked by pixel statistics and kept in the artifact folder ($2).
# Usage: demo_test.sh <folder with glintwork, data/, hlsl/> <artifact folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/lib/xsession.sh
source "$here/../../scripts/lib/xsession.sh"
bin=$1
artifacts=$2
mkdir -p "$artifacts"
rm -f "$artifacts"/*.png

passed=0
failed=0
check() {  # check <description> <condition...>
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v > lo && v < hi) }'; }

DEMO_PID=
cleanup() {
  [ -z "$DEMO_PID" ] || kill "$DEMO_PID" 2>/dev/null || true
  xsession_stop
}
xsession_start
trap cleanup EXIT
cd "$bin"
log="$artifacts/glintwork.log"
demo_launch "$log"
main=$DEMO_MAIN panel=$DEMO_PANEL
sleep 1

shot() {  # shot <name>: the main window's client area
  local X Y WIDTH HEIGHT WINDOW SCREEN
  xsession_geometry "$main"
  xsession_screenshot "$artifacts/$1.png" "$X" "$Y" "$WIDTH" "$HEIGHT"
  echo "$artifacts/$1.png"
}

# Start: a white background with the mesh drawn black (every term starts at zero).
start=$(shot start)
check "the background is mostly white" greater "$(image_mean "$start")" 0.6
check "the mesh is drawn black" between "$(image_dark_fraction "$start")" 0.02 0.5

# The panel stands against the main window's outer right edge, tops level. Xvfb has
# no window manager, so the X windows are the client areas; the layer's frames are
# 6 px (25 px at the top, with the caption) for the main window and 3 px (22 px) for
# the panel.
eval "$(xdotool getwindowgeometry --shell "$main" | sed 's/^/MAIN_/')"
eval "$(xdotool getwindowgeometry --shell "$panel" | sed 's/^/PANEL_/')"
check "the panel's left edge is the main window's right edge" test $((PANEL_X - 3)) -eq $((MAIN_X - 6 + 640))
check "the panel's top is level with the main window's" test $((PANEL_Y - 22)) -eq $((MAIN_Y - 25))
check "the panel is 325 x 480 with its frame" test $((PANEL_WIDTH + 6))x$((PANEL_HEIGHT + 25)) = 325x480

# Mesh keys: only the release of the top-row 5 selects mesh 5.
xsession_focus "$main"
xdotool keydown 5
sleep 0.3
held=$(shot key-5-held)
check "holding 5 down changes nothing" test "$(image_difference "$start" "$held")" -eq 0
xdotool keyup 5
sleep 0.3
released=$(shot key-5-released)
check "releasing 5 draws another mesh" greater "$(image_difference "$start" "$released")" 1000
xdotool key 1
sleep 0.3
xdotool key KP_5
sleep 0.3
keypad=$(shot keypad-5)
check "keypad 5 selects nothing" test "$(image_difference "$start" "$keypad")" -eq 0

# A diffuse colour, then its intensity raised, brightens the mesh.
xsession_click_dialog "$panel" 112 111
for row in "$DU_RED_Y" "$DU_GREEN_Y" "$DU_BLUE_Y"; do demo_set_trackbar "$panel" "$row" "$DU_TRACK_RIGHT"; done
sleep 0.3
coloured=$(shot diffuse-colour)
check "a colour with intensity 0 still draws black" test "$(image_difference "$start" "$coloured")" -eq 0
demo_set_trackbar "$panel" "$DU_INTENSITY_Y" "$DU_TRACK_RIGHT"
sleep 0.3
lit=$(shot diffuse-intensity)
check "raising the diffuse intensity brightens the mesh" greater "$(image_mean "$lit")" "$(awk -v m="$(image_mean "$start")" 'BEGIN { print m + 0.01 }')"

# The light stands still until the speed trackbar is first moved.
sleep 0.5
still=$(shot light-still)
check "the light does not move at speed 0" test "$(image_difference "$lit" "$still")" -eq 0
xsession_drag_dialog "$panel" "$DU_SPEED_LEFT" "$DU_SPEED_Y" 140 "$DU_SPEED_Y"
sleep 0.3
moving1=$(shot light-moving-1)
sleep 0.5
moving2=$(shot light-moving-2)
check "the marker moves once the speed trackbar is moved" greater "$(image_difference "$moving1" "$moving2")" 20

# Closing the main window ends the program with 0.
demo_close "$main"
status=0
for _ in $(seq 1 100); do kill -0 "$DEMO_PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$DEMO_PID" 2>/dev/null; then
  kill "$DEMO_PID"
  status=124
fi
wait "$DEMO_PID" || status=$?
DEMO_PID=
check "closing the main window ends the program with exit code 0" test "$status" -eq 0

if [ "$failed" -ne 0 ] && [ -s "$log" ]; then
  echo "glintwork wrote:"
  sed 's/^/  | /' "$log"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
