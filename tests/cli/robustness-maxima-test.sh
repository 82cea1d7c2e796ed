#!/usr/bin/env bash
# The heaviest stability sweep the settings allow: the most Monte Carlo
# samples, normally distributed, each written to the samples CSV, at the
# highest switching frequency the sweep takes. Here the sweep must run whole;
# qxr_cli_bench measures its time.
# Usage: robustness-maxima-test.sh QXR_CLI MODE [EDIT...]
set -euo pipefail
cli=$1
mode=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$cli" robustness --mode "$mode" --set N__MC=1000000 --set dist__MC=1 --set f__S=100000 "$@" --json \
  --samples-csv "$out/samples.csv" > "$out/report.json"
grep -q '"samples": *1000000' "$out/report.json" || { echo "the sweep was not computed:"; cat "$out/report.json"; exit 1; }
rows=$(wc -l < "$out/samples.csv")
if [[ $rows != 1000001 ]]; then
  echo "the samples CSV has $rows lines, not a header and 1000000 samples"
  exit 1
fi
