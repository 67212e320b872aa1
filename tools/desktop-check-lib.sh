# What the desktop checks (tools/linux-desktop-check.sh, tools/windows-check.sh) share: failures,
# polling with a time limit, the main window on the X display, and the Apply report check.
# Sourced; counts failures in the caller's `failures`.

fail() { echo "!! $*"; failures=$((failures + 1)); }
poll() {  # poll SECONDS CMD...: runs CMD every 0.2 s until it succeeds; false on timeout
  local end=$((SECONDS + $1))
  shift
  until "$@"; do ((SECONDS < end)) || return 1; sleep 0.2; done
}
main_window() { xdotool search --onlyvisible --name '^米沃鼠标$' 2>/dev/null | head -1; }
has_main_window() { [[ -n $(main_window) ]]; }

# check_apply LOG: the eight reports of an Apply in the event log LOG, each after its pause on the
# real clock (20 ms either way). Lines may end in CR LF (a Windows log).
check_apply() {
  local applied reports pauses
  applied=$(tr -d '\r' <"$1" | awk '$2 == "hid.set" && $4 ~ /^(C0|A[0-2]|B[01]|D0|EE)$/ {print $1, $4}')
  reports=$(awk '{printf "%s ", $2}' <<<"$applied")
  pauses=$(awk 'NR > 1 {printf "%d ", $1 - t} {t = $1}' <<<"$applied")
  echo "apply: reports $reports, pauses $pauses"
  [[ $reports == "C0 A0 A1 A2 B0 B1 D0 EE " ]] || fail "apply: expected the reports C0 A0 A1 A2 B0 B1 D0 EE"
  awk -v got="$pauses" 'BEGIN { n = split("200 100 100 200 100 200 200", want); split(got, g)
       for (i = 1; i <= n; i++) if (g[i] == "" || g[i] - want[i] > 20 || want[i] - g[i] > 20) exit 1 }' ||
    fail "apply: pauses $pauses, expected 200 100 100 200 100 200 200 within 20 ms"
}
