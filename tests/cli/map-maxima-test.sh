#!/usr/bin/env bash
# The heaviest design map the settings allow: 64 x 64 points over the sweep's
# corners with the time-domain pass, which still simulates only an 8 x 8
# sub-grid of them and interpolates the rest. It must come back whole;
# qxr_cli_bench's map benchmark measures the time.
# Usage: map-maxima-test.sh QXR_CLI
set -euo pipefail
cli=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$cli" map --loop voltage --time-domain --set N__MAP_FX=64 --set N__MAP_PM=64 --json > "$out/map.json"
"$cli" map --loop voltage --time-domain --set N__MAP_FX=64 --set N__MAP_PM=64 --csv > "$out/map.csv"
python3 - "$out" <<'PY'
import csv, json, sys
folder = sys.argv[1]
grid = json.load(open(folder + "/map.json"))
assert len(grid["crossover"]) == 64 and len(grid["phaseMargin"]) == 64, "a 64 x 64 map"
assert any(any(row) for row in grid["realisable"]), "some point realisable"
sub_grid = list(range(0, 64, 9))
assert grid["timeDomainColumns"] == sub_grid and grid["timeDomainRows"] == sub_grid, "an 8 x 8 sub-grid"
assert len(grid["h3"]) == 64 and all(len(row) == 64 for row in grid["h3"]), "h3 on every point"
known = sum(value is not None for row in grid["h3"] for value in row)
assert known > 64, "figures beyond the simulated points: %d" % known
rows = list(csv.DictReader(open(folder + "/map.csv")))
simulated = sum(row["simulated"] == "1" for row in rows)
assert 0 < simulated <= 64, "at most 64 points simulated, not %d" % simulated
PY
