#!/usr/bin/env bash
# The bash completion of ledsign-cli offers every command and, for each
# command, every option that the command's --help names.
# usage: check_completion.sh LEDSIGN_CLI COMPLETION_FILE
set -o pipefail
cli=$1
completion=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f /usr/share/bash-completion/bash_completion ] || fail "bash-completion is not installed (scripts/setup installs it)"
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
source "$completion"

# Completions of the words of a command line whose last word is being typed.
complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _ledsign_cli ledsign-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort -u
}

export QT_QPA_PLATFORM=offscreen
commands=$("$cli" --help | sed -n '/^commands:/,/^$/p' | awk 'NF && !/^commands:/ {print $1}')
[ "$(wc -w <<<"$commands")" -ge 8 ] || fail "ledsign-cli --help lists too few commands"
offered=$(complete_line ledsign-cli "")
for c in $commands; do
  grep -q -x "$c" <<<"$offered" || fail "no completion of the command $c"
done
[ "$(complete_line ledsign-cli dem)" = demo ] || fail "\"dem\" does not complete to demo"
[ "$(complete_line ledsign-cli de)" = "$(printf 'decode\ndemo')" ] || fail "\"de\" does not offer decode and demo"

for c in $commands; do
  # the options of the usage lines and of the option list, not those that the prose names
  expected=$( ("$cli" "$c" --help; echo --help) | grep -E -- '^(usage:|[[:space:]]+ledsign-cli |[[:space:]]*--)' |
    grep -o -E -- '--[a-z][a-z0-9-]*' | sort -u)
  got=$(complete_line ledsign-cli "$c" --)
  [ "$got" = "$expected" ] || fail "options of $c: completion offers [$(echo $got)], --help names [$(echo $expected)]"
done

[ "$(complete_line ledsign-cli play "")" = "$(printf 'start\nstop')" ] || fail "play does not offer start and stop"
[ "$(complete_line ledsign-cli render x.prg --colors "")" = "$(printf '1\n2\n3')" ] || fail "--colors does not offer 1 2 3"
[ -z "$(complete_line ledsign-cli send --port "")" ] || fail "a value of --port is completed"
echo "completion checks passed"
