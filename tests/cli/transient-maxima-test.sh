#!/usr/bin/env bash
# The heaviest time-domain report the settings allow: the longest settling
# time for every run, and a firmware sampling so fast that the runs come close
# to their step limit. Every scenario must come back, computed or stopped with
# its reason; qxr_cli_bench measures its time.
# Usage: transient-maxima-test.sh QXR_CLI
set -euo pipefail
cli=$1
out=$(mktemp)
trap 'rm -f "$out"' EXIT

"$cli" transient --mode digital --set t__SETTLE_MAX=2 --set F__SAMP=1200 --json > "$out"
python3 - "$out" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
assert len(report["steady"]) == 9, "nine steady states"
for name in ("loadStep", "startUp", "holdUp"):
    assert name in report, name
PY
