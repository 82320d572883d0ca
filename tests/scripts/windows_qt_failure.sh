#!/usr/bin/env bash
# scripts/windows-qt when the Qt build fails half-way (a cmake that stops as ninja does on a full
# disk): it must say so and exit 1, leave no cache marked complete, and leave nothing half-built.
# apt-get, dpkg-source and cmake are stand-ins on the PATH, so nothing is fetched or compiled.
set -euo pipefail
script=$1
work=$(mktemp -d -t taloma-windows-qt.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/cache"

# apt-get: every package is "installed", and "source" leaves a .dsc and an original tarball.
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
case " $* " in
  *" --download-only "*) touch qt6-base_6.4.2.dsc qt6-base_6.4.2.orig.tar.xz ;;
esac
exit 0
EOF
# dpkg-source -x: a source tree whose configure fills part of the prefix, as a real one does not,
# so that a half-built cache would be there to be left behind.
cat >"$work/bin/dpkg-source" <<'EOF'
#!/bin/sh
mkdir -p "$3"
cat >"$3/configure" <<'CONFIGURE'
#!/bin/sh
[ "$1" = -prefix ] && mkdir -p "$2/lib" && touch "$2/lib/half-built"
exit 0
CONFIGURE
chmod +x "$3/configure"
EOF
# cmake: the build stops with an error, as ninja does when the disk fills.
cat >"$work/bin/cmake" <<'EOF'
#!/bin/sh
echo "ninja: build stopped: subcommand failed." >&2
exit 1
EOF
chmod +x "$work/bin/"*

status=0
PATH=$work/bin:$PATH TALOMA_CACHE=$work/cache "$script" >"$work/out" 2>"$work/err" || status=$?
fail() {
  echo "windows-qt: $1"
  echo "--- stdout"; cat "$work/out"; echo "--- stderr"; cat "$work/err"
  exit 1
}
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
grep -q '^error: building Qt for Windows failed' "$work/err" || fail "no error message"
grep -q 'ninja: build stopped' "$work/err" || fail "the log's end is not shown"
! grep -q 'built in' "$work/out" || fail "it reported success"
[ -z "$(find "$work/cache" -name .complete)" ] || fail "a cache is marked complete"
[ -z "$(find "$work/cache" -mindepth 1 -maxdepth 1 -type d)" ] || fail "a half-built cache was left: $(ls "$work/cache")"
if TALOMA_CACHE=$work/cache "$script" --path >/dev/null 2>&1; then
  fail "--path names a cache after the failure"
fi
echo "1 passed, 0 failed"
