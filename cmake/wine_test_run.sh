#!/usr/bin/env bash
# Runs a test program through wine: wine_test_run.sh WINE-COMMAND... PROGRAM
# [ARGUMENTS...]. Under load wine now and then fails to start a program at
# all: it exits with an error before the program prints a byte. A test
# program always prints (GoogleTest heads its output), so a run that exits
# with an error and printed nothing never ran, and is started again, at
# most three times in all. Any run that printed something counts as it is.
set -uo pipefail
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
for try in 1 2 3; do
  "$@" >"$out" 2>"$err"
  status=$?
  if [ "$status" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ]; then break; fi
  echo "wine_test_run.sh: wine started nothing (status $status, try $try)" >&2
done
cat "$out"
cat "$err" >&2
exit "$status"
