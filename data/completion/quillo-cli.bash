# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for quillo-cli: its commands, each command's options, folders for --config-dir,
# and schedules (.qlp files) for the file.

_quillo_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} i options
    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "check list agenda alerts export --help --version" -- "$cur")
        return
    fi
    case $prev in
    --config-dir)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
        ;;
    --today | --date | --chart-date | --title | --grep)
        COMPREPLY=()
        return
        ;;
    --state)
        mapfile -t COMPREPLY < <(compgen -W "all open progress alert day" -- "$cur")
        return
        ;;
    esac
    local options_end=0
    for ((i = 2; i < COMP_CWORD; i++)); do
        [ "${COMP_WORDS[i]}" = -- ] && options_end=1
    done
    if [ "$options_end" -eq 0 ] && [[ $cur == -* ]]; then
        case ${COMP_WORDS[1]} in
        list) options="--today --chart-date --config-dir --title --tsv --grep --kana --state --date --" ;;
        agenda) options="--date --today --config-dir --tsv --" ;;
        alerts) options="--today --config-dir --title --tsv --" ;;
        export) options="--ics --today --config-dir --title --" ;;
        *) options="--" ;;
        esac
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -X '!*.qlp' -- "$cur"; compgen -d -- "$cur")
}
complete -F _quillo_cli quillo-cli
