#!/usr/bin/env bash
# Holds a manual page against the program it documents: man renders the page
# without a warning, and the page names every command and option the program's
# help lists (and each command's help), and no option or command the help lacks.
# Usage: man-page-test.sh PAGE PROGRAM [ARGUMENT...]
set -uo pipefail
page=$1
shift
program=("$@")

fail()
{
    echo "FAIL: $page: $*"
    exit 1
}

# Plain ASCII, unhyphenated and wide, so every option stays one word.
warnings=$(MANROFFOPT=-rHY=0 MANWIDTH=200 man --warnings -E ascii -l "$page" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "man warns: $warnings"
text=$(MANROFFOPT=-rHY=0 MANWIDTH=200 man -E ascii -l "$page") || fail "man cannot render it"

help=$("${program[@]}" --help) || fail "${program[*]} --help failed"
# CLI11 lists the commands under "Subcommands:", two blanks in.
help_commands=$(sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$help" | sort)
for command in $help_commands; do
    help+=$'\n'$("${program[@]}" "$command" --help) || fail "${program[*]} $command --help failed"
done

# The option column of the help: lines that begin with an option, up to the
# gap before the description ("  -h, --help    ...", "  --set NAME=VALUE   ..."); an option begins a word,
# so the words an option takes ("ac-voltage") are none.
help_options=$(grep -E '^  -' <<<"$help" | sed -E 's/^  //; s/ {2,}.*//' | grep -oE -- '(^|[ ,])--?[a-zA-Z][a-zA-Z-]*' |
    grep -oE -- '--?[a-zA-Z][a-zA-Z-]*' | sort -u)
# Every long option the page mentions anywhere, and the items of its COMMANDS section.
page_long_options=$(grep -oE -- '(^|[^a-zA-Z-])--[a-zA-Z][a-zA-Z-]*' <<<"$text" | grep -oE -- '--[a-zA-Z-]+' | sort -u)
page_commands=$(sed -n '/^COMMANDS$/,/^[A-Z]/s/^       \([a-z][a-z-]*\)$/\1/p' <<<"$text" | sort)

[[ -n $help_options ]] || fail "no options found in the help"
for option in $help_options; do
    grep -qE -- "(^|[^a-zA-Z-])$option([^a-zA-Z-]|$)" <<<"$text" || fail "the help lists $option, the page does not"
done
for option in $page_long_options; do
    grep -qxF -- "$option" <<<"$help_options" || fail "the page names $option, the help does not"
done
[[ $page_commands == "$help_commands" ]] ||
    fail "commands differ: help has [$(echo $help_commands)], page has [$(echo $page_commands)]"
echo "$page: $(wc -w <<<"$help_options") options, $(wc -w <<<"$help_commands") commands, as the help lists them"
