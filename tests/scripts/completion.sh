#!/usr/bin/env bash
# taloma-id's bash completion: what it offers after what is typed.
# Usage: completion.sh COMPLETION-FILE
set -euo pipefail
source "$1"
failed=0 passed=0
# offers WANT WORD...: the completion of the last word.
offers() {
  local want=$1
  shift
  COMP_WORDS=(taloma-id "$@")
  COMP_CWORD=${#COMP_WORDS[@]}
  COMP_CWORD=$((COMP_CWORD - 1))
  COMPREPLY=()
  _taloma_id
  if [ "${COMPREPLY[*]}" = "$want" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: taloma-id $*: got '${COMPREPLY[*]}', want '$want'"
  fi
}
offers "check" ch
offers "--normalize --no-header" check --no
offers "--near-misses --normalize --no-header" scan --n
offers "resident resident-old" gen -k res
offers "national,resident national,resident-old" check --kinds national,res
offers "foreign,hong-kong-macao" gen --category foreign,h
offers "jsonl" places -f j
offers "" gen --seed ''
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
