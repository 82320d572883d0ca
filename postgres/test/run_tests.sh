#!/usr/bin/env bash
# The extension in a throw-away cluster (pg_virtualenv, gone when this ends): the pg_regress suite
# (sql/ against expected/), then its rows against taloma-id's on the case table's inputs: verdicts
# and sentences for sets of kinds, masked text, pseudonyms and their reveal under one key, seeded
# numbers and the place tables.
# Usage: run_tests.sh PGXS-DIR STAGE PG_CONFIG TALOMA-ID CASES
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Whole paths: pg_virtualenv runs this again from /.
pgxs=$(realpath "$1") stage=$(realpath "$2") pg_config=$3 id=$(realpath "$4") cases=$(realpath "$5")
if [ -z "${TALOMA_IN_CLUSTER:-}" ]; then
  # The server (postgres, when this runs as root) reads a copy of the staged tree that it may read.
  served=$(mktemp -d -t taloma-postgres.XXXXXX)
  trap 'rm -rf "$served"' EXIT
  cp -r "$stage/." "$served"
  chmod -R a+rX "$served"
  TALOMA_IN_CLUSTER=1 pg_virtualenv -t -o "extension_destdir=$served" \
    "$here/test/run_tests.sh" "$pgxs" "$stage" "$pg_config" "$id" "$cases"
  exit 0
fi

failed=0
if ! make -s -C "$pgxs" -f "$here/Makefile" PG_CONFIG="$pg_config" installcheck; then
  cat "$pgxs/regression.diffs"
  failed=1
fi

work=$(mktemp -d -t taloma-agreement.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
createdb regress_taloma_agreement
query() { psql -X -q -At -F $'\t' -v ON_ERROR_STOP=1 -d regress_taloma_agreement "$@"; }
run_id() { "$id" "$@" || [ $? -eq 1 ]; }
# same NAME COMMAND...: the command's output is taloma-id's, in want.
same() {
  local name=$1
  shift
  "$@" >got
  if ! cmp -s want got; then
    echo "FAIL $name"
    diff want got | head -n 10 || true
    failed=1
  fi
}

# The case table's inputs that no format escapes and none cuts, and a few of the other kinds.
sed -n 's/^> \({"input":.*}\)$/\1/p' "$cases" |
  jq -r '.input | select(length > 0 and length <= 64 and (test("[\\p{C}\\\\\"]") | not))' >inputs
printf '%s\n' 04595257 55989270 '+886 912 345 678' /ABC+123 8585 >>inputs
mapfile -t inputs <inputs
query <<<"CREATE EXTENSION taloma; CREATE TABLE inputs (n serial, input text);
\\copy inputs (input) FROM 'inputs'"
for kinds in national,resident,resident-old national resident-old,resident business \
             business,certificate,carrier,donation,mobile mobile,national; do
  for before in false true; do
    option=()
    [ "$before" = false ] || option=(--before-2023)
    run_id check -k "$kinds" "${option[@]}" -f tsv --no-header -- "${inputs[@]}" >want
    same "check -k $kinds ${option[*]}" query <<<"SELECT input, v.valid::text, v.kind, v.sex, v.category,
      v.letter, v.place, v.reason, v.position, v.expected, NULL AS line
      FROM inputs, taloma_check(input, '$kinds', $before) v ORDER BY n"
  done
  for lang in en:false zh-TW:true; do
    run_id check -k "$kinds" --lang "${lang%:*}" -- "${inputs[@]}" >want
    same "check -k $kinds --lang ${lang%:*}" query <<<"SELECT input || ': ' ||
      taloma_decode(input, ${lang#*:}, '$kinds') FROM inputs ORDER BY n"
  done
  { printf '客戶 A123456789，Ｆ２３１４１５９２６，統編 04595257，手機 0912-345-678 捐 8585\n'
    printf 'log A12345678X b200000004 AC12345679 /ABC+123 AB12345678901234 +886-912-345678\n'; } >text
  run_id scan -k "$kinds" --redact <text >want
  same "scan -k $kinds --redact" query -v body="$(cat text)" <<<"SELECT taloma_redact(:'body', '$kinds')"
done

# Pseudonyms and what reveal makes of the same texts, with and without a context, under NIST's
# AES-256 key: the server's copy in its data directory (a relative taloma.key_file is read from
# there), taloma-id's here. No kinds is scan's default, the identity kinds.
key=2b7e151628aed2a6abf7158809cf4f3cef4359d8d580aa4f7f036d6f04fc6a94
(umask 077 && printf '%s\n' "$key" >key)
query <<<"COPY (SELECT '$key') TO PROGRAM 'umask 077 && cat > regress_taloma_agreement.key'"
keyed="SET taloma.key_file = 'regress_taloma_agreement.key';"
for kinds in - business,certificate,carrier,donation,mobile mobile,national; do
  for context in - crm; do
    option=(--key-file key)
    [ "$kinds" = - ] || option+=(-k "$kinds")
    [ "$context" = - ] || option+=(--context "$context")
    arguments="NULLIF('$context', '-'), NULLIF('$kinds', '-')"
    for way in pseudonymize reveal; do
      run_id scan "--$way" "${option[@]}" <inputs >want 2>/dev/null
      same "scan --$way ${option[*]}" query <<<"$keyed SELECT taloma_$way(input, $arguments)
        FROM inputs ORDER BY n"
      run_id scan "--$way" "${option[@]}" <text >want 2>/dev/null
      same "scan --$way ${option[*]} (text)" query -v body="$(cat text)" <<<"$keyed
        SELECT taloma_$way(:'body', $arguments)"
    done
  done
done

# Seeded numbers: kind, seed as gen takes it, count, places, sex, categories, unique, current, since 2023.
while read -r kind seed count places sex categories unique current since; do
  args=(gen -k "$kind" --seed "$seed" -n "$count")
  [ "$places" = - ] || args+=(-p "$places")
  [ "$sex" = - ] || args+=(--sex "$sex")
  [ "$categories" = - ] || args+=(--category "$categories")
  [ "$unique" = false ] || args+=(--unique)
  [ "$current" = false ] || args+=(--current)
  [ "$since" = false ] || args+=(--since-2023)
  "$id" "${args[@]}" >want
  # The bigint of the same 64 bits: bash's arithmetic wraps as the seed does.
  same "${args[*]}" query <<<"SELECT taloma_generate($count, $((seed)), '$kind',
    '${places#-}', '${sex#-}', '${categories#-}', $unique, $current, $since)"
done <<'EOF'
national 42 300 - - - false false false
national 9 300 - - - true false false
national 1 2000 - - - false true false
resident 7 100 A,臺中市 female - false false false
resident 9 50 - - foreign,mainland-china true false false
resident-old 18446744073709551615 2000 F,H male - false false false
business 1 50 - - - false false false
business 9223372036854775808 50 - - - true false true
certificate 2 20 - - - false false false
carrier 3 20 - - - false false false
donation 4 20 - - - true false false
EOF

run_id places -f tsv --no-header >want
same places query <<<'SELECT * FROM taloma_places()'
run_id places --postal -f tsv --no-header >want
same "places --postal" query <<<'SELECT * FROM taloma_districts()'
[ "$failed" -eq 0 ] && echo "the extension's rows are taloma-id's"
exit "$failed"
