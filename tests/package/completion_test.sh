#!/usr/bin/env bash
# The bash completion of tarnwick-cli, loaded into a bash of its own as bash-completion loads it
# and asked as the shell asks on Tab: commands, each command's options as `--help` lists them,
# nothing after an option that takes a number, and for each argument the directories and the
# files of its kind only (layouts, netlists, PNG, PDF, any case of the ending, blanks in names).
#   completion_test.sh TARNWICK_CLI COMPLETION_FILE [PENDING_COMMAND...]
# A pending command is completed ahead of the program (its branch is not merged yet).
set -u
cli=$(realpath "$1")
completion=$(realpath "$2")
shift 2
pending=" $* "

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir boards
touch amp.twk FLASHER.TWK "two words.twk" amp.net filter.cir SIM.SP deck.spice photo.png \
  sheet.pdf notes.txt amp.twk.bak
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Each argument is one command line, cursor at its end; prints the answers to each, one
# "line|answer answer ..." per line, answers sorted.
ask() {
  bash --norc --noprofile -s "$completion" "$@" <<'EOF'
source "$1" || exit 1
shift
registered=$(complete -p tarnwick-cli) || exit 1
function=$(sed -n 's/.*-F \([^ ]*\).*/\1/p' <<<"$registered")
for line in "$@"; do
  read -r -a COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  "$function" tarnwick-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s|%s\n' "$line" "$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')"
done
EOF
}

expect() {
  local line=$1 want=$2 got
  got=$(grep -F "$line|" <<<"$answers" | head -n1 | cut -d'|' -f2)
  [ "$got" = "$want" ] || fail "'$line' completes to '$got', expected '$want'"
}

answers=$(ask "tarnwick-cli re" "tarnwick-cli info " "tarnwick-cli import " \
  "tarnwick-cli import amp.net " "tarnwick-cli render amp.twk " "tarnwick-cli print amp.twk " \
  "tarnwick-cli check amp.twk " "tarnwick-cli print --spacing " \
  "tarnwick-cli print --spacing 5.08 " "tarnwick-cli cuts amp.twk " "tarnwick-cli cuts -- " \
  "tarnwick-cli render amp.twk photo.png --f" "tarnwick-cli resave amp.twk " \
  "tarnwick-cli info b" "tarnwick-cli frobnicate ")
if [ -z "$answers" ]; then
  echo "FAIL: the completion did not load or answered nothing"
  exit 1
fi
expect "tarnwick-cli re" "render resave"
layouts="FLASHER.TWK amp.twk boards two words.twk"
netlists="SIM.SP amp.net boards deck.spice filter.cir"
expect "tarnwick-cli info " "$layouts"
expect "tarnwick-cli import " "$netlists"
expect "tarnwick-cli import amp.net " "$layouts"
expect "tarnwick-cli render amp.twk " "boards photo.png"
expect "tarnwick-cli print amp.twk " "boards sheet.pdf"
expect "tarnwick-cli check amp.twk " "$netlists"
expect "tarnwick-cli resave amp.twk " "$layouts"
expect "tarnwick-cli print --spacing " ""
expect "tarnwick-cli print --spacing 5.08 " "$layouts"
expect "tarnwick-cli cuts amp.twk " "--copper-side"
expect "tarnwick-cli cuts -- " "$layouts"
expect "tarnwick-cli render amp.twk photo.png --f" "--flow"
expect "tarnwick-cli info b" "boards"
expect "tarnwick-cli frobnicate " ""

# Against the program: every command of --help, and each one's options.
help=$("$cli" --help)
commands=$(grep -E '^  [a-z]' <<<"$help" | sed 's/^ *//' | cut -d' ' -f1)
[ -n "$commands" ] || fail "tarnwick-cli --help lists no commands"
lines=("tarnwick-cli ")
while read -r command; do
  lines+=("tarnwick-cli $command -")
done <<<"$commands"
answers=$(ask "${lines[@]}")
offered=$(grep -F "tarnwick-cli |" <<<"$answers" | cut -d'|' -f2 | tr ' ' '\n')
while read -r command; do
  grep -qx "$command" <<<"$offered" || fail "the completion does not offer the command $command"
  [[ $pending == *" $command "* ]] &&
    fail "--help now lists $command: take it off the pending commands in tests/CMakeLists.txt"
  synopsis=$(grep -E "^  $command( |\$)" <<<"$help")
  got=$(grep -F "tarnwick-cli $command -|" <<<"$answers" | cut -d'|' -f2)
  want=$( (grep -oE '\[--[a-z-]+' <<<"$synopsis" | tr -d '['; echo --) | sort | paste -sd' ')
  [ "$got" = "$want" ] || fail "'tarnwick-cli $command -' completes to '$got', expected '$want'"
done <<<"$commands"
for command in $offered; do
  [[ $command == -* ]] && continue
  grep -qx "$command" <<<"$commands" || [[ $pending == *" $command "* ]] ||
    fail "the completion offers $command, which tarnwick-cli --help does not list"
done

[ $failures -eq 0 ] || exit 1
echo "the completion offers the commands, options and files of the right kind"
