#!/bin/bash
# libtaloma as a program outside the project takes it: the build installed into a folder of its
# own, a consumer built there once with find_package (shared and static), once with pkg-config and
# once against the first version's header (tests/library/abi1), and what it writes compared with
# taloma-id on the case table's inputs, seeded batches, a text to scan and redact, and the places;
# and the header compiled as C++.
# consumer_test.sh BUILD_DIR TALOMA_ID CASES WORK_DIR
set -euo pipefail
build=$1 id=$2 cases=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$here/consumer_project" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/cmake" >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
pc_dir=$(dirname "$(find "$work/prefix" -name taloma.pc)")
export PKG_CONFIG_PATH=$pc_dir
# shellcheck disable=SC2046  # pkg-config's flags are words
cc -std=c99 -Wall -Werror -o "$work/consumer_pc" "$here/consumer_project/consumer.c" \
  $(pkg-config --cflags --libs taloma) -Wl,-rpath,"$(pkg-config --variable=libdir taloma)"
# Built against the first version's header, run against this library: what it asks for is there.
cc -std=c99 -Wall -Werror -o "$work/consumer_abi1" "$here/consumer_project/consumer.c" \
  -I"$here/abi1" $(pkg-config --libs taloma) -Wl,-rpath,"$(pkg-config --variable=libdir taloma)"
if objdump -T "$work/consumer_abi1" | grep -q TALOMA_2; then
  echo "a program built against the first header asks for TALOMA_2" >&2
  exit 1
fi
# The header as C++ takes it, every warning an error.
printf '#include <taloma/taloma.h>\nstatic_assert(TALOMA_VERSION_MAJOR == 2);\nint main() { return taloma_kind_name(TALOMA_MOBILE) == nullptr; }\n' |
  c++ -std=c++17 -Wall -Wextra -Wpedantic -Werror -x c++ - $(pkg-config --cflags --libs taloma) \
    -Wl,-rpath,"$(pkg-config --variable=libdir taloma)" -o "$work/header_cxx"
"$work/header_cxx"
consumers=("$work/cmake/consumer" "$work/cmake/consumer_static" "$work/consumer_pc" "$work/consumer_abi1")

failed=0
# same NAME EXPECTED-FILE COMMAND...: the command's output is the expected one.
same() {
  local name=$1 expected=$2
  shift 2
  "$@" >"$work/got" || { echo "FAIL $name: $* exited with $?" >&2; failed=1; return; }
  if ! cmp -s "$work/got" "$expected"; then
    echo "FAIL $name: $*" >&2
    diff "$expected" "$work/got" | head -n 10 >&2 || true
    failed=1
  fi
}
# taloma-id's output whatever its status (1 when a number is invalid).
run_id() { "$id" "$@" || [ $? -eq 1 ]; }

# The inputs the case table shows verdicts for, that no format escapes and none cuts.
python3 - "$cases" >"$work/inputs.txt" <<'PY'
import json, re, sys
for line in open(sys.argv[1], encoding="utf-8"):
    match = re.match(r'^> (\{"input":.*\})$', line.rstrip("\n"))
    if not match:
        continue
    text = json.loads(match.group(1))["input"]
    if text and len(text) <= 64 and all(c.isprintable() and c not in '\t\\"' for c in text):
        print(text)
PY
printf '04595257\n0912-345-678\n+886 912 345 678\n/ABC+123\nAB12345678901234\n8585\n' >>"$work/inputs.txt"
text=$work/text.txt
printf '客戶 A123456789，Ｆ２３１４１５９２６，統編 04595257，手機 0912-345-678\n' >"$text"
printf 'log A12345678X b200000004 AC12345679 /ABC+123 AB12345678901234 +886-912-345678\n' >>"$text"
"$id" gen -n 200 --seed 3 -k resident >>"$text"

for kinds in national,resident,resident-old national resident-old,resident \
             business,certificate,carrier,donation,mobile business mobile,national; do
  run_id check -k "$kinds" -f tsv --no-header -i "$work/inputs.txt" >"$work/check.want"
  run_id scan -k "$kinds" -a -f tsv --no-header <"$text" >"$work/scan.want"
  run_id scan -k "$kinds" --redact <"$text" >"$work/redact.want"
  for consumer in "${consumers[@]}"; do
    same "check -k $kinds" "$work/check.want" "$consumer" check "$kinds" <"$work/inputs.txt"
    same "scan -k $kinds" "$work/scan.want" "$consumer" scan "$kinds" <"$text"
    same "redact -k $kinds" "$work/redact.want" "$consumer" redact "$kinds" <"$text"
  done
done
# A scanner fed in pieces writes what taloma-id writes for the whole input, in UTF-8, UTF-16 and
# Big5, with bytes that are none of them, across its 64 KiB blocks.
big=$work/big.txt
{ cat "$text"; "$id" gen -n 6000 --seed 4 | sed 's/^/x /; 3~7s/$/ 0912-345-678 04595257/'; } >"$big"
iconv -f UTF-8 -t UTF-16 "$big" >"$big.utf16"
iconv -f UTF-8 -t BIG5 "$big" >"$big.big5"
printf 'A123456789\x80\xC3 B2\xFF\xFE 0912-345-678\n' | cat - "$big" >"$big.bytes"
for input in "$big" "$big.utf16" "$big.big5" "$big.bytes"; do
  for kinds in national,resident,resident-old national,business,mobile mobile; do
    run_id scan -k "$kinds" -a -f tsv --no-header <"$input" >"$work/scan.want"
    run_id scan -k "$kinds" --redact <"$input" >"$work/redact.want"
    for consumer in "${consumers[@]:0:3}"; do
      for piece in 1 4099 65536; do
        same "fed scan $piece -k $kinds $input" "$work/scan.want" "$consumer" fed scan "$kinds" "$piece" <"$input"
        same "fed redact $piece -k $kinds $input" "$work/redact.want" "$consumer" fed redact "$kinds" "$piece" <"$input"
      done
    done
  done
done
for options in "gen national 42 300" "gen-unique national 42 300" "gen resident 7 100 A,臺中市 female" \
               "gen-unique resident 9 50 '' '' foreign,mainland-china" "gen resident-old 5 80 F,H male" \
               "gen business 1 50" "gen-unique business 1 50" "gen certificate 2 20" \
               "gen carrier 3 20" "gen donation 4 20"; do
  eval "set -- $options"
  args=(gen -k "$2" --seed "$3" -n "$4")
  [ "$1" = gen-unique ] && args+=(--unique)
  [ -n "${5:-}" ] && args+=(-p "$5")
  [ -n "${6:-}" ] && args+=(--sex "$6")
  [ -n "${7:-}" ] && args+=(--category "$7")
  "$id" "${args[@]}" >"$work/gen.want"
  for consumer in "${consumers[@]}"; do same "${args[*]}" "$work/gen.want" "$consumer" "$@"; done
done
"$id" places -f tsv --no-header >"$work/places.want"
for consumer in "${consumers[@]}"; do same places "$work/places.want" "$consumer" places; done
[ "$failed" -eq 0 ] && echo "the consumer writes what taloma-id writes"
exit "$failed"
