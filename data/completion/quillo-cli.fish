# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for quillo-cli: its commands, each command's options, folders for --config-dir,
# and schedules (.qlp files) for the file.

set -l commands check list agenda alerts export
complete -c quillo-cli -f
complete -c quillo-cli -n "not __fish_seen_subcommand_from $commands" -a check -d 'Report the first line that cannot be read'
complete -c quillo-cli -n "not __fish_seen_subcommand_from $commands" -a list -d 'Print the schedule as the window shows it'
complete -c quillo-cli -n "not __fish_seen_subcommand_from $commands" -a agenda -d 'Print the to-dos of one day'
complete -c quillo-cli -n "not __fish_seen_subcommand_from $commands" -a alerts -d 'Print the to-dos in caution or warning'
complete -c quillo-cli -n "not __fish_seen_subcommand_from $commands" -a export -d 'Print the schedule as iCalendar to-dos'
complete -c quillo-cli -n "not __fish_seen_subcommand_from $commands" -s h -l help -d 'Show the usage'
complete -c quillo-cli -n "not __fish_seen_subcommand_from $commands" -s V -l version -d 'Show the version'
complete -c quillo-cli -n "__fish_seen_subcommand_from $commands" -a "(__fish_complete_suffix .qlp | string match -r -- '^.*(?:\.qlp|/)\$')"
complete -c quillo-cli -n "__fish_seen_subcommand_from list agenda alerts export" -l today -x -d 'Take this date as today'
complete -c quillo-cli -n "__fish_seen_subcommand_from list agenda alerts export" -l config-dir -x -a "(__fish_complete_directories)" -d 'Read quillo.ini and quillo.hld from this folder'
complete -c quillo-cli -n "__fish_seen_subcommand_from list" -l chart-date -x -d 'The first day of the chart'
complete -c quillo-cli -n "__fish_seen_subcommand_from agenda list" -l date -x -d 'The day to list'
complete -c quillo-cli -n "__fish_seen_subcommand_from list" -l grep -x -d 'Only rows that hold this text'
complete -c quillo-cli -n "__fish_seen_subcommand_from list" -l kana -d 'Hiragana and katakana alike'
complete -c quillo-cli -n "__fish_seen_subcommand_from list" -l state -x -a 'all open progress alert day' -d 'Only rows in this state'
complete -c quillo-cli -n "__fish_seen_subcommand_from list alerts export" -l title -x -d 'The title of a schedule read from standard input'
complete -c quillo-cli -n "__fish_seen_subcommand_from list agenda alerts" -l tsv -d 'Tab-separated columns'
complete -c quillo-cli -n "__fish_seen_subcommand_from export" -l ics -d 'Write iCalendar'
