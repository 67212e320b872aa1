#!/usr/bin/env bash
# Builds everything and runs the whole test suite, in the normal build and in the sanitizer build
# (in a virtual X display, which the X11 desktop tests need), then mivo-config on an X11 desktop,
# then the Windows build under Wine where the cross compiler and Wine are installed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset tests"
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$preset" | tee -a "$results"
done
echo "== mivo-config on the X11 desktop"
tools/linux-desktop-check.sh build/default | tee -a "$results"
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && [[ -x /usr/lib/wine/wine64 ]] && command -v xvfb-run >/dev/null; then
  echo "== win64 build and Windows checks"
  tools/windows-check.sh | tee -a "$results"
fi
# One closing line for the whole run: ctest's totals and the Windows test binaries' counts.
passed=0 failed=0
while read -r total fails; do
  passed=$((passed + total - fails)) failed=$((failed + fails))
done < <(sed -nE 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2 \1/p' "$results")
while read -r n; do passed=$((passed + n)); done < <(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$results")
echo "all: $passed passed, $failed failed"
