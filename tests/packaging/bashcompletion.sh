#!/usr/bin/env bash
# Drives the bash completion of nerio-cli as bash does (COMP_WORDS, COMP_CWORD)
# over a table of command lines, in a folder with parameter files, a backup,
# a file of another kind and a subfolder.
# Usage: bashcompletion.sh <completion script>
set -u
source "$1"
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch crew.bpack tail.apack backup-2024.json notes.txt
mkdir fleet

failures=0
# expect <completions, sorted, space-separated> <words...>: completes the last word.
expect()
{
    local want=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _nerio_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [[ $got != "$want" ]]; then
        echo "FAIL: nerio-cli ${COMP_WORDS[*]:1}|  offers '$got', expected '$want'"
        failures=$((failures + 1))
    fi
}

# The commands, then only what a command takes.
expect "diff list read restore show write"                 nerio-cli ""
expect "read restore"                                      nerio-cli --simulate re
expect "--simulate"                                        nerio-cli --sim
expect "--all --csv --device --help --help-all --json --kind --save --simulate --trace --version" nerio-cli read --
expect "--id --id-start"                                   nerio-cli write --id
expect ""                                                  nerio-cli list --dev
# Values of the options that take a word, also after "=".
expect "aircraft bodypack"                                 nerio-cli read --kind ""
expect "bodypack"                                          nerio-cli read --kind b
expect "aircraft microphone"                               nerio-cli write --ptt ""
expect "microphone"                                        nerio-cli write --ptt = m
expect "aircraft bodypack"                                 nerio-cli write --kind =
expect ""                                                  nerio-cli write --rf-power ""
# Files: parameter files and backups for --from and --save, parameter files for show.
expect "backup-2024.json crew.bpack fleet tail.apack"      nerio-cli write --from ""
expect "crew.bpack"                                        nerio-cli read --save cr
expect "crew.bpack fleet tail.apack"                       nerio-cli show ""
# Backups for restore; files, backups and live units for diff.
expect "backup-2024.json fleet"                            nerio-cli restore ""
expect "device:"                                           nerio-cli diff crew.bpack dev
# A command's name as an option's value is not the command.
expect "--id --id-start"                                   nerio-cli --from list write --i
expect "--id --id-start"                                   nerio-cli --from = show write --i

if ((failures)); then
    echo "$failures completions wrong"
    exit 1
fi
echo "all completions as expected"
