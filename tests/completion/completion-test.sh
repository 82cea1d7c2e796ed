#!/usr/bin/env bash
# Drives the bash completion of qxr-cli the way bash does on Tab: sets the words
# of the line and calls the completion function, then checks the offer.
# Usage: completion-test.sh COMPLETION_FILE QXR_CLI
set -uo pipefail
completion=$1
program=$2

# shellcheck source=/dev/null
source "$completion"
failures=0

# The words offered for a line whose last word is being completed.
offer()
{
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _qxr_cli "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

expect()
{
    local wanted=$1
    shift
    local got
    got=$(offer "$@")
    if [[ $got != "$wanted" ]]; then
        echo "FAIL: qxr-cli $* <Tab>"
        echo "  expected: $wanted"
        echo "  offered:  $got"
        failures=$((failures + 1))
    fi
}

[[ $(complete -p qxr-cli) == "complete -F _qxr_cli qxr-cli" ]] || { echo "FAIL: qxr-cli has no completion"; exit 1; }

# Symbol names come from the program: every V__ symbol it lists, ready for "=VALUE".
v_symbols=$("$program" symbols | grep '^V__' | sed 's/$/=/' | sort | tr '\n' ' ')
[[ $v_symbols == *"V__IN_MIN= "* && $v_symbols == *"V__OUT= "* ]] || { echo "FAIL: no V__ symbols listed"; exit 1; }
expect "$v_symbols" json --set V__
expect "P__LOAD_MIN P__OUT P__STEP_FROM P__STEP_TO " report --revert P__
expect "" report --revert NO_SUCH_
expect "" json --set V__OUT = ""
expect "V__OUT= V__OUT_MAX= V__OUT_MIN= " json --set = V__OUT

expect "--help --version bode bom coeffs diff json map measured propose report robustness spice transient " ""
expect "coeffs " co
expect "analog digital " json --mode ""
expect "digital " json --mode = d
expect "all current feedforward voltage " coeffs design.qxr --which ""
expect "current " bode --loop c
expect "voltage " map --loop v
expect "holdup startup steady step " transient --csv out.csv --scenario ""
expect "ac-current ac-voltage transient " spice --deck ""
expect "ac-current ac-voltage " spice --deck ac
expect "double float q15 q31 " coeffs --format ""
expect "q15 q31 " coeffs --format q
expect "--description --help --loop --mode --revert --save --set --standard-values " bode --
expect "--help --json " measured --
expect "--bode " json --b
expect "--csv " bom --c
expect "" report --b
expect "" json --description ""

# Outside options, the design file: .qxr files and folders only.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/designs"
touch "$folder/a.qxr" "$folder/notes.txt"
expect "$folder/a.qxr $folder/designs " report "$folder/"
expect "$folder/a.qxr $folder/designs $folder/notes.txt " coeffs --header "$folder/"
expect "$folder/a.qxr $folder/designs $folder/notes.txt " measured "$folder/"
expect "$folder/a.qxr $folder/designs $folder/notes.txt " spice --deck transient --out "$folder/"
expect "$folder/a.qxr $folder/designs " diff "$folder/a.qxr" "$folder/"

((failures == 0)) || exit 1
echo "completion: all offers as expected"
