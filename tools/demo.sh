#!/usr/bin/env bash
# Main job on the built-in simulated mouse: builds, then applies the profile and prints what was sent.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target mivoctl
data=$(mktemp -d)
# Start from the factory profile, then apply it as the window's Apply button does.
build/default/bin/mivoctl --data-dir "$data" reset
build/default/bin/mivoctl --simulate --data-dir "$data" --log /dev/stdout apply "$@"
