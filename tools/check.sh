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
