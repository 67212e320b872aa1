#!/usr/bin/env bash
# mivo-config on an X11 desktop (Xvfb with a compositing manager) with the simulated mouse: a
# silent start stays hidden, a second copy makes it show its window and ends with status 0, and a
# click on Apply sends the eight reports with their pauses. Argument: the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")

if [[ "${2:-}" != "--inside" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" --inside
fi

failures=0
source tools/desktop-check-lib.sh

# A fresh folder: no profile yet (the factory one is used), and a lock folder of its own.
app=$(mktemp -d)
export XDG_RUNTIME_DIR=$app/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp -r "$build/bin/mivo-config" "$build/bin/UIPIC" "$build/bin/icons" "$app/"
cp "$build"/bin/*.lng "$app/"
xcompmgr 2>"$app/xcompmgr.log" &
compositor=$!
first=
cleanup() {
  [[ -n $first ]] && kill "$first" 2>/dev/null
  kill "$compositor" 2>/dev/null
  rm -rf "$app"
}
trap cleanup EXIT

log_has() { grep -qE "$1" "$app/events.log" 2>/dev/null; }

echo "== mivo-config on the X11 desktop (simulated mouse): silent start, second copy, apply"
"$app/mivo-config" --simulate --log "$app/events.log" silent &
first=$!
if ! poll 20 log_has '^[0-9]+ hid\.open '; then
  fail "silent start: no HID open within 20 s"
elif has_main_window; then
  fail "silent start: the main window is visible"
else
  code=0
  timeout 20 "$app/mivo-config" --simulate || code=$?
  echo "second copy exit $code"
  [[ $code == 0 ]] || fail "second copy: exit $code, expected 0"
  poll 10 has_main_window || fail "second copy: the first copy did not show its window"
fi
if has_main_window; then
  eval "$(xdotool getwindowgeometry --shell "$(main_window)")"
  echo "main window at $X,$Y size ${WIDTH}x$HEIGHT"
  [[ $WIDTH == 800 && $HEIGHT == 500 ]] || fail "main window: size ${WIDTH}x$HEIGHT, expected 800x500"
  # Apply: eight reports, each after its pause.
  xdotool mousemove $((X + 678)) $((Y + 472)) click 1 mousemove 2 2
  poll 10 log_has '^[0-9]+ hid\.set 03 EE ' || true
  check_apply "$app/events.log"
fi
kill "$first" 2>/dev/null || true
wait "$first" 2>/dev/null || true
first=

if ((failures)); then
  echo "linux desktop check: $failures failed"
  exit 1
fi
echo "linux desktop check: all passed"
