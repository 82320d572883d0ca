#!/usr/bin/env bash
# taloma-id's bash completion: what it offers after what is typed, and for -p the places that
# taloma-id itself knows.
# Usage: completion.sh COMPLETION-FILE TALOMA-ID
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
offers "台北市 台中市 台南市 台北縣 台中縣 台南縣 台東縣" gen -p 台
offers "A,臺北市 A,臺北縣" gen --place A,臺北
# After -p: only what taloma-id takes, and every letter and place it lists.
COMP_WORDS=(taloma-id gen -p '') COMP_CWORD=3 COMPREPLY=()
_taloma_id
"$2" gen -n 0 -p "$(IFS=,; echo "${COMPREPLY[*]}")" || failed=$((failed + 1))
places=$("$2" places -f tsv --no-header)
while IFS=$'\t' read -r letter _ place _; do
  for word in "$letter" "$place"; do
    [[ " ${COMPREPLY[*]} " == *" $word "* ]] || { failed=$((failed + 1)); echo "FAIL: -p lacks $word"; }
  done
done <<<"$places"
# Every option that a command's help lists is offered after "-", and the commands after none.
for command in check scan gen places key; do
  COMP_WORDS=(taloma-id "$command" -) COMP_CWORD=2 COMPREPLY=()
  _taloma_id
  for option in $("$2" "$command" --help | grep -E '^  -' | grep -oE '(^|[ ,])--?[a-z][a-z0-9-]*' | tr -d ' ,' | sort -u); do
    [[ " ${COMPREPLY[*]} " == *" $option "* ]] || { failed=$((failed + 1)); echo "FAIL: $command - lacks $option"; }
  done
done
offers "key" k
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
