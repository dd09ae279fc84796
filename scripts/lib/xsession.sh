# Helpers for driving Glintwork under a private Xvfb with real X input (xdotool)
# and measuring screenshots (ImageMagick). Sourced by scripts/run and tests/e2e.

# Starts Xvfb on a free display and exports DISPLAY; xsession_stop ends it.
xsession_start() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  XSESSION_XVFB_PID=$!
  local display
  read -r display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$display"
}

xsession_stop() {
  if [ -n "${XSESSION_XVFB_PID:-}" ]; then
    kill "$XSESSION_XVFB_PID" 2>/dev/null || true
    wait "$XSESSION_XVFB_PID" 2>/dev/null || true
    XSESSION_XVFB_PID=
  fi
}

# The X window whose title is exactly $1, waiting up to 20 s for it to appear.
xsession_window() {
  local title=$1 id="" tries=0
  while [ -z "$id" ] && [ $tries -lt 200 ]; do
    id=$(xdotool search --onlyvisible --name "^$(printf '%s' "$title" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] || sleep 0.1
    tries=$((tries + 1))
  done
  [ -n "$id" ] || { echo "xsession: no window titled '$title'" >&2; return 1; }
  echo "$id"
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
