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
fail() { echo "!! $*"; failures=$((failures + 1)); }
poll() {  # poll SECONDS CMD...: runs CMD every 0.1 s until it succeeds; false on timeout
  local end=$((SECONDS + $1))
  shift
  until "$@"; do ((SECONDS < end)) || return 1; sleep 0.1; done
}

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
main_window() { xdotool search --onlyvisible --name '^米沃鼠标$' 2>/dev/null | head -1; }
has_main_window() { [[ -n $(main_window) ]]; }

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
  # Apply: eight reports, each after its pause on the real clock (20 ms either way).
  xdotool mousemove $((X + 678)) $((Y + 472)) click 1 mousemove 2 2
  poll 10 log_has '^[0-9]+ hid\.set 03 EE ' || true
  applied=$(awk '$2 == "hid.set" && $4 ~ /^(C0|A[0-2]|B[01]|D0|EE)$/ {print $1, $4}' "$app/events.log")
  reports=$(awk '{printf "%s ", $2}' <<<"$applied")
  pauses=$(awk 'NR > 1 {printf "%d ", $1 - t} {t = $1}' <<<"$applied")
  echo "apply: reports $reports, pauses $pauses"
  [[ $reports == "C0 A0 A1 A2 B0 B1 D0 EE " ]] || fail "apply: expected the reports C0 A0 A1 A2 B0 B1 D0 EE"
  awk -v got="$pauses" 'BEGIN { n = split("200 100 100 200 100 200 200", want); split(got, g)
       for (i = 1; i <= n; i++) if (g[i] == "" || g[i] - want[i] > 20 || want[i] - g[i] > 20) exit 1 }' ||
    fail "apply: pauses $pauses, expected 200 100 100 200 100 200 200 within 20 ms"
fi
kill "$first" 2>/dev/null || true
wait "$first" 2>/dev/null || true
first=

if ((failures)); then
  echo "linux desktop check: $failures failed"
  exit 1
fi
echo "linux desktop check: all passed"
