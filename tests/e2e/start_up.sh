#!/usr/bin/env bash
# The real program's start-up as processes see it, on the offscreen platform: one copy per user and
# desktop session, the same lock with and without XDG_RUNTIME_DIR, a lock no other user can take or
# redirect, a quiet start without a runtime folder, and one clear line when there is no display.
# Usage: start_up.sh TALOMA
set -euo pipefail
taloma=$1

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  [ "$(id -u)" -ne 0 ] || pkill -9 -u 65532 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A private runtime folder and an empty cache folder; each case sets what it needs on top.
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR=$work/run XDG_CACHE_HOME=$work/cache
mkdir -m 700 "$XDG_RUNTIME_DIR"
lock_name() { echo "taloma@$(hostname)@offscreen.lock"; }
# Without a usable runtime folder the program looks in the session's own, when the user has one
# (root here makes one for the test), and only then in a folder of its own.
session=/run/user/$(id -u)
if [ ! -e "$session" ] && [ "$(id -u)" -eq 0 ] && mkdir -m 700 "$session" 2>/dev/null; then
  trap 'cleanup; rm -rf "$session"' EXIT
fi
session_is_private() { [ "$(stat -c '%a %u' "$session" 2>/dev/null)" = "700 $(id -u)" ]; }
fallback() { if session_is_private; then echo "$session"; else echo "$XDG_CACHE_HOME/taloma"; fi; }

# holds_lock PID: whether PID holds a whole-file lock, read from the kernel's table so that
# looking never takes it.
holds_lock() { awk -v pid="$1" '$2 == "FLOCK" && $5 == pid { found = 1 } END { exit !found }' /proc/locks; }
# start [RUNNER...]: starts the program (through RUNNER, if given) and waits until it holds its
# lock; sets pid.
start() {
  "$@" "$taloma" 2>>"$work/stderr" &
  pid=$!
  pids+=("$pid")
  for _ in $(seq 300); do
    holds_lock "$pid" && return 0
    kill -0 "$pid" 2>/dev/null || { fail "the program ended instead of taking its lock"; return 1; }
    sleep 0.1
  done
  fail "the program never took its lock"
  return 1
}
# ends_at_once: a second copy ends by itself, with status 0 and no output.
ends_at_once() {
  local status=0 output
  output=$(timeout 30 "$taloma" 2>&1) || status=$?
  [ "$status" -eq 0 ] && [ -z "$output" ] || fail "$1: the second copy gave status $status: $output"
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; }

echo "one copy per user and session; a killed copy leaves no lock"
start
first=$pid
ends_at_once "same session"
kill -9 "$first"
wait "$first" 2>/dev/null || true
start
stop
[ ! -s "$work/stderr" ] || fail "a normal start wrote to stderr: $(cat "$work/stderr")"

echo "without a runtime folder: quiet, and the lock in the session's folder or a private one"
: >"$work/stderr"
(
  unset XDG_RUNTIME_DIR
  start
  ends_at_once "no runtime folder"
  stop
  [ ! -s "$work/stderr" ] || fail "started with stderr: $(cat "$work/stderr")"
  [ "$(stat -c %a "$(fallback)")" = 700 ] || fail "the lock's folder is not private"
  [ -f "$(fallback)/$(lock_name)" ] || fail "no lock in $(fallback)"
  exit "$failures"
) || failures=$((failures + $?))

if session_is_private; then
  echo "one start with the runtime folder named and one without meet the same lock"
  XDG_RUNTIME_DIR=$session start
  (
    unset XDG_RUNTIME_DIR
    ends_at_once "started without XDG_RUNTIME_DIR"
    exit "$failures"
  ) || failures=$((failures + $?))
  stop
  rm -f "$session/$(lock_name)"
else
  echo "skipped: the same lock with and without XDG_RUNTIME_DIR (no private $session)"
fi

echo "a runtime folder others may enter is not used"
chmod 755 "$XDG_RUNTIME_DIR"
rm -rf "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR/$(lock_name)" "$session/$(lock_name)"
start
[ ! -e "$XDG_RUNTIME_DIR/$(lock_name)" ] || fail "the lock went into a folder others may enter"
[ -f "$(fallback)/$(lock_name)" ] || fail "no lock in $(fallback)"
stop
rm -f "$session/$(lock_name)"
chmod 700 "$XDG_RUNTIME_DIR"

echo "a read-only lock file and a link in place of the lock still lock"
lock=$XDG_RUNTIME_DIR/$(lock_name)
rm -f "$lock"
touch "$lock"
chmod 400 "$lock"
start
ends_at_once "read-only lock file"
stop
rm -f "$lock"
ln -s "$work/target" "$lock"
start
ends_at_once "link in place of the lock"
stop
[ ! -e "$work/target" ] || fail "the program created the link's target"
[ -f "$lock" ] && [ ! -L "$lock" ] || fail "the link was not replaced by a lock file"

echo "no display: one line, status 1, no abort"
for display in ":97" ""; do
  status=0
  output=$(env -u WAYLAND_DISPLAY DISPLAY="$display" QT_QPA_PLATFORM=xcb "$taloma" 2>&1) ||
    status=$?
  [ "$status" -eq 1 ] || fail "no display ($display): status $status"
  [ "$(wc -l <<<"$output")" -eq 1 ] && grep -q "no display could be reached (DISPLAY=\"$display\"" \
    <<<"$output" || fail "no display ($display): $output"
done

# Two real users need root to be; the user of the test stands for the victim.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && command -v flock >/dev/null; then
  echo "another user can neither stop the program nor make it touch a file"
  # A stranger owns the runtime and temporary folders the program is pointed at (as when the
  # fallback folder in /tmp was made by someone else) and holds the locks it might take there.
  stranger=(setpriv --reuid=65532 --regid=65532 --clear-groups)
  shared=$work/shared
  names=("$(lock_name)" taloma.lock)
  rm -rf "$XDG_CACHE_HOME"
  mkdir -m 755 "$shared"
  chown 65532:65532 "$shared"
  export XDG_RUNTIME_DIR=$shared TMPDIR=$shared
  "${stranger[@]}" flock "$shared/${names[0]}" flock "$shared/${names[1]}" sleep 600 &
  holder=$!
  for _ in $(seq 300); do [ -e "$shared/${names[1]}" ] && break; sleep 0.1; done
  start
  [ -f "$(fallback)/$(lock_name)" ] || fail "the lock is not in the user's own folder"
  stop
  rm -f "$session/$(lock_name)"
  # Then the stranger puts links there instead, to a file the user would own if it were made.
  pkill -u 65532 -x sleep || true
  wait "$holder" || true
  for name in "${names[@]}"; do
    "${stranger[@]}" rm -f "$shared/$name"
    "${stranger[@]}" ln -s "$work/users-file" "$shared/$name"
  done
  start
  [ ! -e "$work/users-file" ] || fail "a file was made through the stranger's link"
  stop
else
  echo "skipped: two users (needs root, setpriv and flock)"
fi

# --version and --help answer on the terminal, with no display and no window.
for option in --version --help; do
  status=0
  output=$(DISPLAY= QT_QPA_PLATFORM= timeout 10 "$taloma" "$option" 2>&1) || status=$?
  case $option in --version) want='taloma [0-9]' ;; *) want='^Usage: taloma' ;; esac
  [ "$status" -eq 0 ] && grep -q "$want" <<<"$output" ||
    fail "$option gave status $status: $output"
done

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "all passed"
