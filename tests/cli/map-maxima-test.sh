#!/usr/bin/env bash
# The heaviest design maps the settings allow: 64 x 64 points over the sweep's
# corners, and the time-domain pass at its most points. Both must come back
# whole; qxr_cli_bench's map benchmark measures the time.
# Usage: map-maxima-test.sh QXR_CLI
set -euo pipefail
cli=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$cli" map --loop voltage --set N__MAP_FX=64 --set N__MAP_PM=64 --json > "$out/grid.json"
"$cli" map --loop voltage --time-domain --set N__MAP_FX=8 --set N__MAP_PM=8 --json > "$out/time-domain.json"
python3 - "$out" <<'PY'
import json, sys
grid = json.load(open(sys.argv[1] + "/grid.json"))
assert len(grid["crossover"]) == 64 and len(grid["phaseMargin"]) == 64, "a 64 x 64 map"
assert any(any(row) for row in grid["realisable"]), "some point realisable"
simulated = json.load(open(sys.argv[1] + "/time-domain.json"))
assert len(simulated["h3"]) == 8 and all(len(row) == 8 for row in simulated["h3"]), "h3 on every point"
assert any(value is not None for row in simulated["h3"] for value in row), "some point simulated"
PY
