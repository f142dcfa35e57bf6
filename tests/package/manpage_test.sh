#!/usr/bin/env bash
# The manual pages as man shows them: both render without a warning, name the files the editor
# keeps, and stay true to the programs: every command line of `tarnwick-cli --help` is a tag of
# the page's COMMANDS, word for word, the page lists no command the program lacks, every exit
# status the help names is explained, and every option of `tarnwick --help` is in tarnwick(1).
#   manpage_test.sh TARNWICK TARNWICK_CLI MAN_DIR [PENDING_COMMAND...]
# A pending command is documented ahead of the program (its branch is not merged yet); once
# --help lists it, it must leave the pending list.
set -u
tarnwick=$1
cli=$2
man_dir=$3
shift 3
pending=" $* "

if ! command -v man >/dev/null; then
  echo "SKIP: man is missing (scripts/install-deps installs man-db)"
  exit 77
fi
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A page as plain text, lines unbroken.
render() { MANWIDTH=400 LC_ALL=C man -l "$1" 2>/dev/null | col -bx; }
# The tags of one section of a rendered page: the lines indented by exactly seven blanks (a tag
# shorter than the indent shares its line with the text).
tags() { sed -n "/^$2\$/,/^[A-Z]/p" <<<"$1" | grep -E '^ {7}[^ ]' | sed 's/^ *//'; }

for page in tarnwick tarnwick-cli; do
  file="$man_dir/$page.1"
  if [ ! -f "$file" ]; then
    fail "no manual page $file"
    continue
  fi
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man -l $page.1 warns: $warnings"
  text=$(render "$file")
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
    grep -qx "$section" <<<"$text" || fail "$page.1 has no section $section"
  done
done

editor_page=$(render "$man_dir/tarnwick.1")
# shellcheck disable=SC2016,SC2088 # the names as the page spells them
for file in '~/.config/tarnwick/tarnwick.conf' '$XDG_STATE_HOME/tarnwick/recovery'; do
  grep -qF "$file" <<<"$(tags "$editor_page" FILES)" ||
    fail "tarnwick.1 does not list $file under FILES"
done
editor_options=$(tags "$editor_page" OPTIONS)
while read -r option _; do
  grep -qE "(^|[ ,])$option(,| |\$)" <<<"$editor_options" ||
    fail "tarnwick --help has $option, tarnwick.1 does not: $editor_options"
done < <(env -u DISPLAY -u WAYLAND_DISPLAY "$tarnwick" --help | grep -E '^  -')

help=$("$cli" --help)
help_commands=$(grep -E '^  [a-z]' <<<"$help" | sed 's/^ *//')
cli_page=$(render "$man_dir/tarnwick-cli.1")
page_commands=$(tags "$cli_page" COMMANDS)
[ -n "$help_commands" ] || fail "tarnwick-cli --help lists no commands: $help"

while read -r line; do
  [ -n "$line" ] || continue
  if ! grep -qxF "$line" <<<"$page_commands"; then
    fail "tarnwick-cli --help lists '$line'; the page has:" \
      "'$(grep -E "^${line%% *}( |\$)" <<<"$page_commands")'"
  fi
  name=${line%% *}
  [[ $pending == *" $name "* ]] &&
    fail "--help now lists $name: take it off the pending commands in tests/CMakeLists.txt"
done <<<"$help_commands"
while read -r line; do
  name=${line%% *}
  if ! grep -qE "^$name( |\$)" <<<"$help_commands"; then
    if [[ $pending == *" $name "* ]]; then
      echo "note: $name is documented ahead of the program (pending)"
    else
      fail "the page documents '$line', which tarnwick-cli --help does not list"
    fi
  fi
done <<<"$page_commands"

# Each exit status the help names has its own entry.
statuses=$(sed -n '/^Exit status/,$p' <<<"$help" | grep -oE '\b[0-9]\b' | sort -u)
page_statuses=$(tags "$cli_page" "EXIT STATUS" | cut -d' ' -f1)
[ -n "$statuses" ] || fail "tarnwick-cli --help names no exit status"
for status in $statuses; do
  grep -qx "$status" <<<"$page_statuses" || fail "tarnwick-cli.1 does not explain exit status $status"
done

[ $failures -eq 0 ] || exit 1
echo "both pages render cleanly and match the programs' --help"
