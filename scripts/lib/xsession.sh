# Helpers for driving Glintwork under a private Xvfb with real X input (xdotool)
# and measuring screenshots (ImageMagick). Sourced by scripts/run, tests/e2e, the
# layer's X input test and the Wine tests.

# Starts Xvfb on a free display with a screen of $1 (WIDTHxHEIGHT, 1280x800 when
# not given) and exports DISPLAY; xsession_stop ends it. The server must answer
# with that screen before this returns; a server that does not is stopped and
# another started (three tries). Its output is kept in $XSESSION_LOG until
# xsession_stop.
xsession_start() {
  local size=${1:-1280x800} attempt fifo display geometry tries
  XSESSION_LOG=$(mktemp -t glintwork-xvfb.XXXXXX)
  for attempt in 1 2 3; do
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >>"$XSESSION_LOG" 2>&1 &
    XSESSION_XVFB_PID=$!
    display=
    read -r display <"$fifo" || true
    rm -f "$fifo"
    if [ -n "$display" ]; then
      export DISPLAY=":$display"
      unset WAYLAND_DISPLAY XAUTHORITY
      tries=0
      geometry=
      while [ $tries -lt 50 ] && kill -0 "$XSESSION_XVFB_PID" 2>/dev/null; do
        geometry=$(xdotool getdisplaygeometry 2>/dev/null || true)
        [ "$geometry" = "${size/x/ }" ] && return 0
        sleep 0.1
        tries=$((tries + 1))
      done
      echo "xsession: Xvfb on :$display did not answer as expected (attempt $attempt, geometry '$geometry')" >&2
    else
      echo "xsession: Xvfb did not start (attempt $attempt)" >&2
    fi
    xsession_stop_server
  done
  echo "xsession: no usable Xvfb; its output:" >&2
  cat "$XSESSION_LOG" >&2
  return 1
}

xsession_stop_server() {
  if [ -n "${XSESSION_XVFB_PID:-}" ]; then
    kill "$XSESSION_XVFB_PID" 2>/dev/null || true
    wait "$XSESSION_XVFB_PID" 2>/dev/null || true
    XSESSION_XVFB_PID=
  fi
}

xsession_stop() {
  xsession_stop_server
  [ -z "${XSESSION_LOG:-}" ] || rm -f "$XSESSION_LOG"
  XSESSION_LOG=
}

# Says what is known when the program's window does not come: whether the program
# ($1, a process id) still runs, what it wrote ($2, a file, may be empty), whether
# the X server still answers, and the windows it has.
xsession_report() {
  local pid=$1 log=${2:-}
  if kill -0 "$pid" 2>/dev/null; then
    echo "xsession: the program (pid $pid) is still running" >&2
  else
    echo "xsession: the program (pid $pid) has ended" >&2
  fi
  if [ -n "$log" ] && [ -s "$log" ]; then
    echo "xsession: the program wrote:" >&2
    sed 's/^/  | /' "$log" >&2
  fi
  if xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "xsession: $DISPLAY answers; its named windows:" >&2
    local id
    for id in $(xdotool search --name '.' 2>/dev/null); do
      echo "  $id '$(xdotool getwindowname "$id" 2>/dev/null || true)'" >&2
    done
  else
    echo "xsession: $DISPLAY no longer answers; Xvfb wrote:" >&2
    sed 's/^/  | /' "$XSESSION_LOG" >&2
  fi
}

# The X window whose title is exactly $1, waiting up to 30 s for it to appear. With
# a process id ($2) it stops waiting as soon as that process ends; on failure it
# reports (see xsession_report, $3 is the program's log file).
xsession_window() {
  local title=$1 pid=${2:-} log=${3:-} id="" deadline=$((SECONDS + 30)) pattern
  pattern="^$(printf '%s' "$title" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$"
  while [ -z "$id" ] && [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [ -z "$id" ]; then
    echo "xsession: no window titled '$title'" >&2
    [ -z "$pid" ] || xsession_report "$pid" "$log"
    return 1
  fi
  echo "$id"
}

# Gives window $1 the keyboard focus and waits (up to 5 s) until it has it.
xsession_focus() {
  local tries=0
  xdotool windowfocus "$1"
  while [ "$(xdotool getwindowfocus 2>/dev/null || true)" != "$1" ] && [ $tries -lt 50 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
}

# Sets X, Y, WIDTH, HEIGHT to window $1's position and size on the screen.
xsession_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
}

# Screen position of dialog-unit point ($2, $3) in dialog window $1 (1.5 px per unit).
xsession_dialog_point() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  xsession_geometry "$1"
  echo "$((X + ($2 * 3 + 1) / 2)) $((Y + ($3 * 3 + 1) / 2))"
}

# Clicks dialog-unit point ($2, $3) of dialog window $1.
xsession_click_dialog() {
  local point
  point=$(xsession_dialog_point "$1" "$2" "$3")
  # shellcheck disable=SC2086
  xdotool mousemove $point click 1
  sleep 0.2
}

# Drags in dialog window $1 from dialog-unit point ($2, $3) to ($4, $5).
xsession_drag_dialog() {
  local from to
  from=$(xsession_dialog_point "$1" "$2" "$3")
  to=$(xsession_dialog_point "$1" "$4" "$5")
  # shellcheck disable=SC2086
  xdotool mousemove $from mousedown 1
  sleep 0.1
  # shellcheck disable=SC2086
  xdotool mousemove $to
  sleep 0.1
  xdotool mouseup 1
  sleep 0.2
}

# Writes a PNG of the screen region X Y WIDTH HEIGHT ($2..$5) to $1.
xsession_screenshot() {
  import -window root -crop "${4}x${5}+${2}+${3}" +repage "$1"
}

# The fraction (0..1) of pixels of PNG $1 darker than 10 % grey.
image_dark_fraction() {
  convert "$1" -colorspace Gray -threshold 10% -negate -format '%[fx:mean]' info:
}

# The mean brightness (0..1) of PNG $1.
image_mean() {
  convert "$1" -colorspace Gray -format '%[fx:mean]' info:
}

# The number of pixels in which PNGs $1 and $2 differ.
image_difference() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

# Glintwork's two windows.
GLINTWORK_MAIN_TITLE="[Interactive Demo Application] - Glintwork"
GLINTWORK_PANEL_TITLE="Illumination settings"

# Starts ./glintwork from the current folder with its output in file $1 (on the
# terminal too when $2 is "show") and waits for its two windows; sets DEMO_PID,
# DEMO_MAIN and DEMO_PANEL. When the failure lies with the display rather than the
# program (the X server stopped answering, or the program could not open it), the
# server and the program are started once more.
demo_launch() {
  local log=$1 show=${2:-} attempt
  for attempt in 1 2; do
    if [ "$show" = show ]; then
      ./glintwork > >(tee "$log") 2>&1 &
    else
      ./glintwork >"$log" 2>&1 &
    fi
    DEMO_PID=$!
    if DEMO_MAIN=$(xsession_window "$GLINTWORK_MAIN_TITLE" "$DEMO_PID" "$log") &&
      DEMO_PANEL=$(xsession_window "$GLINTWORK_PANEL_TITLE" "$DEMO_PID" "$log"); then
      return 0
    fi
    kill "$DEMO_PID" 2>/dev/null || true
    wait "$DEMO_PID" 2>/dev/null || true
    DEMO_PID=
    if [ "$attempt" -eq 1 ] &&
      { ! xdotool getdisplaygeometry >/dev/null 2>&1 || grep -q "no display could be opened" "$log"; }; then
      echo "xsession: the display failed, not the program; starting both again" >&2
      xsession_stop
      xsession_start || return 1
      continue
    fi
    return 1
  done
}

# Dialog-unit rows (centre y) of the panel's trackbars, and their ends in x. A
# trackbar's thumb starts at its left end, its position 1.
DU_INTENSITY_Y=129; DU_RED_Y=150; DU_GREEN_Y=171; DU_BLUE_Y=185; DU_SPEED_Y=38
DU_TRACK_LEFT=62; DU_TRACK_RIGHT=174; DU_SPEED_LEFT=110; DU_SPEED_RIGHT=181

# Drags the trackbar thumb on row $2 of panel $1 from the left end to x ($3).
demo_set_trackbar() {
  xsession_drag_dialog "$1" "$DU_TRACK_LEFT" "$2" "$3" "$2"
}

# What a person would try first: a diffuse colour and its intensity, a strong
# specular highlight, the light set moving, then mesh 5.
demo_play_session() {
  local main=$1 panel=$2
  xsession_click_dialog "$panel" 112 111          # Diffuse
  demo_set_trackbar "$panel" "$DU_RED_Y" 150
  demo_set_trackbar "$panel" "$DU_GREEN_Y" 110
  demo_set_trackbar "$panel" "$DU_BLUE_Y" 80
  demo_set_trackbar "$panel" "$DU_INTENSITY_Y" "$DU_TRACK_RIGHT"
  xsession_click_dialog "$panel" 166 111          # Specular
  demo_set_trackbar "$panel" "$DU_RED_Y" "$DU_TRACK_RIGHT"
  demo_set_trackbar "$panel" "$DU_GREEN_Y" "$DU_TRACK_RIGHT"
  demo_set_trackbar "$panel" "$DU_BLUE_Y" "$DU_TRACK_RIGHT"
  demo_set_trackbar "$panel" "$DU_INTENSITY_Y" 150
  xsession_click_dialog "$panel" 69 53            # Y Axis
  xsession_drag_dialog "$panel" "$DU_SPEED_LEFT" "$DU_SPEED_Y" 125 "$DU_SPEED_Y"
  xsession_focus "$main"
  xdotool key 5
  sleep 0.5
}

# Screenshot of both windows side by side into $1.
demo_screenshot() {
  local main=$1 panel=$2 out=$3 X Y WIDTH HEIGHT WINDOW SCREEN
  xsession_geometry "$main"
  local x0=$X y0=$Y
  xsession_geometry "$panel"
  local x1=$((X + WIDTH)) y1=$((Y + HEIGHT))
  [ "$Y" -lt "$y0" ] && y0=$Y
  xsession_geometry "$main"
  [ $((Y + HEIGHT)) -gt "$y1" ] && y1=$((Y + HEIGHT))
  xsession_screenshot "$out" "$x0" "$y0" $((x1 - x0)) $((y1 - y0))
}

# Closes the main window the way a person would (Alt+F4 while it has the focus).
demo_close() {
  xsession_focus "$1"
  xdotool key alt+F4
}
