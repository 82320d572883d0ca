#!/bin/bash
# The npm package as a user gets it: `npm pack` makes the tarball (at most 100 KiB), which is
# installed offline into an empty folder and used there from an ES module and a CommonJS script
# under node's test runner, and from TypeScript compiled with --strict.
# npm_test.sh PACKAGE-FOLDER TALOMA-ID CASES WORK-FOLDER
set -euo pipefail
package=$(realpath "$1") talomaId=$(realpath "$2") cases=$(realpath "$3") work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work/app"
tarball=$(cd "$package" && npm pack --silent --pack-destination "$work")
size=$(stat -c %s "$work/$tarball")
echo "$tarball: $size bytes"
if [ "$size" -gt $((100 * 1024)) ]; then
  echo "the tarball is over 100 KiB" >&2
  exit 1
fi
cd "$work/app"
printf '{ "name": "taloma-user", "private": true }\n' >package.json
npm install --offline --no-audit --no-fund --loglevel=error "$work/$tarball" >/dev/null
cp "$here/esm.test.mjs" "$here/cjs.test.cjs" "$here/example.ts" .
TALOMA_ID=$talomaId CASES=$cases node --test esm.test.mjs cjs.test.cjs
tsc --noEmit --strict --target es2022 --module nodenext --moduleResolution nodenext example.ts
echo "tsc --strict: the example compiles against the declarations"
