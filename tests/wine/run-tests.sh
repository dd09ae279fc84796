#!/usr/bin/env bash
# Cross-compiles the Windows-built tests (this folder's CMake project) for x86_64
# with mingw-w64 and runs each under Wine: headless, in a private WINEPREFIX in
# the build folder. Console tests (bin/console/) run with no display at all;
# tests that open windows or devices (bin/display/) get a private Xvfb.
# Usage: run-tests.sh <build folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${1:?usage: run-tests.sh <build folder>}
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi

fail() {
  echo "wine tests: $*" >&2
  exit 1
}
command -v wine >/dev/null || fail "wine is not installed (scripts/setup-deps installs it)"
command -v x86_64-w64-mingw32-g++-posix >/dev/null || fail "mingw-w64 is not installed (scripts/setup-deps)"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/mingw-x86_64-posix.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DGLINTWORK_WERROR="$werror" >/dev/null
cmake --build "$build"
build=$(cd "$build" && pwd)  # WINEPREFIX must be absolute

export WINEPREFIX="$build/prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts; no debugger waiting on a crashed program.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d)
# shellcheck source=../../scripts/lib/xsession.sh
source "$top/scripts/lib/xsession.sh"
cleanup() {
  wineserver -k 2>/dev/null || true
  xsession_stop
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$WINEPREFIX"
start=$SECONDS
wine wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail "wineboot failed"; }
# The private Xvfb has no window manager: with managed windows Wine waits for one
# (seconds per window shown and hidden); unmanaged, they map at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$work/wineboot.log" 2>&1 ||
  { cat "$work/wineboot.log" >&2; fail "could not set up the prefix"; }
echo "wine tests: $(wine --version) ready in $((SECONDS - start)) s"

failed=0
run() {  # run <exe>: runs every test of one executable, from the build folder
  local exe=$1
  echo "=== $(basename "$exe")"
  if (cd "$build" && timeout 120 wine "$exe" --gtest_color=no 2>&1 | tr -d '\r'); then
    :
  else
    echo "FAILED: $(basename "$exe")"
    failed=$((failed + 1))
  fi
}

shopt -s nullglob
for exe in "$build"/bin/console/*.exe; do run "$exe"; done

display_tests=("$build"/bin/display/*.exe)
if [ ${#display_tests[@]} -gt 0 ]; then
  for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup-deps installs it)"
  done
  xsession_start 1280x1024 || fail "no private X server for the display tests"
  for exe in "${display_tests[@]}"; do run "$exe"; done
fi

echo "wine tests: $failed executable(s) failed, $((SECONDS - start)) s under Wine"
[ "$failed" -eq 0 ]
