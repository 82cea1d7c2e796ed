# Bash completion for qxr-cli. Commands, options and their words come from the
# program's own help, symbol names from its hidden "symbols" command, so the
# completion follows the program it completes.

# The options of a command, one a line, as its help lists them.
_qxr_cli_options()
{
    "$1" "$2" --help 2>/dev/null | sed -n 's/^  \(-h,\)\{0,1\}\(--[a-z-]*\).*/\2/p'
}

# The words an option accepts, as its help shows them ("--mode analog|digital",
# "--deck ac-voltage|ac-current|transient");
# a placeholder in capitals ("qN" of --format) is no word to offer.
_qxr_cli_choices()
{
    "$1" "$2" --help 2>/dev/null | sed -n "s/^  $3 \([a-zA-Z0-9|-]*\).*/\1/p" | tr '|' '\n' | grep -v '[A-Z]'
}

_qxr_cli_commands()
{
    "$1" --help 2>/dev/null | sed -n '/^Subcommands:/,/^$/s/^  \([a-z]\{1,\}\) .*/\1/p'
}

_qxr_cli()
{
    local program=$1 cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command=${COMP_WORDS[1]}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "$(_qxr_cli_commands "$program") --help --version" -- "$cur")
        return
    fi

    # Bash splits at "=": "--mode=digital" and "--set NAME=VALUE" reach here in pieces.
    if [[ $prev == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
        [[ $prev == --* ]] || return # the VALUE of NAME=VALUE
    fi

    case $prev in
    --set)
        compopt -o nospace 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -W "$("$program" symbols 2>/dev/null)" -S = -- "$cur")
        return
        ;;
    --revert)
        mapfile -t COMPREPLY < <(compgen -W "$("$program" symbols 2>/dev/null)" -- "$cur")
        return
        ;;
    --description)
        return
        ;;
    --save | --header | --out)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
        ;;
    --*)
        local choices
        choices=$(_qxr_cli_choices "$program" "$command" "$prev")
        if [[ -n $choices ]]; then
            mapfile -t COMPREPLY < <(compgen -W "$choices" -- "$cur")
            return
        fi
        ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_qxr_cli_options "$program" "$command")" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    if [[ $command == measured ]]; then
        # A measurement: any file, whatever the analyser named it.
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
    fi
    # The design file: folders and .qxr files.
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.qxr' -- "$cur")
}

complete -F _qxr_cli qxr-cli
