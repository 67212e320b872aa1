#!/usr/bin/env bash
# Main job on the built-in simulated mouse: builds, applies the factory profile with mivoctl and
# prints what was sent, then runs the utility headless and writes screenshots of its three pages.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target mivoctl mivo-config mivo_assets
bin=build/default/bin
data=$(mktemp -d)
# The data folder sees the built pictures and language files and keeps its own profile.
ln -s "$PWD/$bin/UIPIC" "$data/UIPIC"
cp "$bin"/*.lng "$data/"

echo "== mivoctl: the factory profile applied to the simulated mouse (virtual ms, event, bytes)"
"$bin/mivoctl" --data-dir "$data" reset
"$bin/mivoctl" --simulate --data-dir "$data" --log - apply "$@"

echo "== mivo-config: headless run on the simulated mouse"
shots=build/default/screenshots
mkdir -p "$shots"
"$bin/mivo-config" --simulate --headless --data-dir "$data" --script tools/demo-window.script \
  --screenshot-dir "$shots" --log "$data/mivo-config.log"
echo "event log: $data/mivo-config.log"
for page in main-page advanced-page support-page; do
  echo "screenshot: $PWD/$shots/$page.png"
done
