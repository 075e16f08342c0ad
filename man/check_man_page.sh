#!/usr/bin/env bash
# Checks the manual page PAGE of the program PROGRAM: man renders it without
# a warning, its title line carries the version that `PROGRAM --version`
# prints, and every option, command and operand name that `PROGRAM --help`
# (and each command's --help) shows appears in the rendered page.
#
#   check_man_page.sh PAGE PROGRAM
set -euo pipefail
page="$1"
program="$2"
failed=0
fail() {
  echo "$page: $*" >&2
  failed=1
}

warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
  man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
[ -z "$warnings" ] || fail "man warns:"$'\n'"$warnings"
shown="$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null |
  col -b)"

version="$("$program" --version | awk '{ print $NF }')"
grep -q "^\.TH .* \"Brimwald Ripper $version\"" "$page" ||
  fail "the title line does not carry version $version"

# The commands listed under "Subcommands:" (not the lines that a wrapped
# description goes on in), and the help of each.
help="$("$program" --help)"
commands="$(printf '%s\n' "$help" |
  awk '/^Subcommands:/ { on = 1; next } on && NF == 0 { on = 0 }
       on && /^  [^ ]/ { print $1 }')"
for command in $commands; do
  help+=$'\n'"$("$program" "$command" --help)"
  grep -qw -- "$command" <<<"$shown" || fail "command $command is missing"
done

# Options (-q, --quiet) and upper-case operands (FILE, DIR) of the help.
names="$(printf '%s\n' "$help" |
  grep -oE -- '(^|[[:space:],])-{1,2}[A-Za-z][-A-Za-z]*|\<[A-Z]{3,}\>' |
  sed 's/^[[:space:],]*//' | sort -u |
  grep -vxE 'OPTIONS|SUBCOMMAND|TEXT|REQUIRED|JSON|VFS|MB|RIP|EXT' || true)"
[ -n "$names" ] || fail "no options found in the help"
for name in $names; do
  grep -qE -- "(^|[^-[:alnum:]])$name([^-[:alnum:]]|$)" <<<"$shown" ||
    fail "$name of the help is missing"
done
exit "$failed"
