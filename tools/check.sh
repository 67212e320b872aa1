#!/usr/bin/env bash
# Builds everything and runs the whole test suite, in the normal build and in the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset tests"
  ctest --preset "$preset"
done
# The Windows build under Wine, where the cross compiler and Wine are installed.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && [[ -x /usr/lib/wine/wine64 ]] && command -v xvfb-run >/dev/null; then
  echo "== win64 build and Windows checks"
  tools/windows-check.sh
fi
