#!/usr/bin/env bash
# Runs taloma-id through the cases of a file and compares standard output, standard error and the
# exit status exactly: run_cases.sh PROGRAM CASES. With TALOMA_EMULATOR set (wine), the program
# runs under it, and must give the same bytes. In CASES a case is a group of lines:
#   $ COMMAND   a shell command; `taloma-id` on its PATH is PROGRAM (pipes and redirections allowed)
#   < BYTES     standard input, with printf %b escapes (\n, \r, \xHH); lines join with nothing between
#   > LINE      a line of the expected standard output
#   ! LINE      a line of the expected standard error (none expected when there is no such line)
#   ? STATUS    the expected exit status (0 when absent)
# Lines starting with # and blank lines end a case.
set -u
program=$1
cases=$2
work=$(mktemp -d -t taloma-cases.XXXXXX)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
unset LANG LC_MESSAGES
mkdir "$work/bin"
if [ -n "${TALOMA_EMULATOR:-}" ]; then
  printf '#!/bin/sh\nexec %q %q "$@"\n' "$TALOMA_EMULATOR" "$(realpath "$program")" >"$work/bin/taloma-id"
  chmod +x "$work/bin/taloma-id"
else
  ln -s "$(realpath "$program")" "$work/bin/taloma-id"
fi
export PATH=$work/bin:$PATH

ran=0
failed=0
command= input= want_out= want_err= want_status=0 line_number=0 case_line=0
finish_case() {
  [ -n "$command" ] || return 0
  ran=$((ran + 1))
  printf '%b' "$input" >"$work/in"
  (eval "$command") <"$work/in" >"$work/out" 2>"$work/err"
  local status=$?
  printf '%s' "$want_out" >"$work/want_out"
  printf '%s' "$want_err" >"$work/want_err"
  if ! cmp -s "$work/out" "$work/want_out" || ! cmp -s "$work/err" "$work/want_err" ||
     [ "$status" != "$want_status" ]; then
    failed=$((failed + 1))
    echo "FAILED at line $case_line: \$ $command"
    echo "  status $status, expected $want_status"
    diff -u --label expected --label got "$work/want_out" "$work/out" | sed 's/^/  out /'
    diff -u --label expected --label got "$work/want_err" "$work/err" | sed 's/^/  err /'
  fi
  command= input= want_out= want_err= want_status=0
}

while IFS= read -r line || [ -n "$line" ]; do
  line_number=$((line_number + 1))
  case $line in
    '$ '*) finish_case; command=${line:2}; case_line=$line_number ;;
    '<'*) input+=${line:2} ;;
    '>'*) want_out+="${line:2}"$'\n' ;;
    '!'*) want_err+="${line:2}"$'\n' ;;
    '?'*) want_status=${line:2} ;;
    '#'* | '') finish_case ;;
    *) echo "line $line_number: cannot read: $line"; exit 2 ;;
  esac
done <"$cases"
finish_case
echo "$((ran - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
