#!/usr/bin/env bash
# Reads the bill of materials of qxr-cli with Python's csv module, the way a
# spreadsheet or a script would: every row has every column, each part once.
# Usage: bom-csv-test.sh QXR_CLI
set -euo pipefail
program=$1

check()
{
    "$program" bom --csv "$@" | python3 -c '
import csv, io, sys
data = sys.stdin.buffer.read()
assert data.endswith(b"\r\n"), "the last line does not end with CRLF"
rows = list(csv.reader(io.StringIO(data.decode("utf-8"), newline="")))
header, parts = rows[0], rows[1:]
assert header[:3] == ["Designator", "Symbol", "Description"], header
assert len(parts) == 24, len(parts)
for row in parts:
    assert len(row) == len(header), row
    part = dict(zip(header, row))
    assert part["Unit"][-1] in "ΩF", part
    assert part["Standard"] or part["Note"].startswith("no standard value"), part
for column in ("Designator", "Symbol"):
    names = [dict(zip(header, row))[column] for row in parts]
    assert len(set(names)) == len(names), names
print(sys.argv[1], "parts read")
' "$*"
}

check
check --set R__F=0 --set C__Z=-1 --set ser__C=6 --description 'Quotes "here", and commas'
[[ $("$program" bom --csv --mode digital) == "Designator,Symbol,Description,Calculated,Standard,Series,Deviation (%),Tolerance (%),Unit,Pair,Note"$'\r' ]]
echo "bom csv: every file read as CSV"
