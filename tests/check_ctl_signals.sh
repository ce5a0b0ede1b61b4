#!/bin/bash
# kx5170ctl run on its demo board, stopped as a launcher, a shell and the system stop
# it: a signal during the write starts nothing and puts the board's own settings back;
# one sent to run's whole process group reaches the command once; run killed leaves a
# record that show tells and restore puts back.
# Usage: check_ctl_signals.sh KX5170CTL
set -u
. "$(dirname "$0")/packaging/common.sh"

ctl=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR=$scratch/runtime XDG_STATE_HOME=$scratch/state
mkdir -m 700 "$XDG_RUNTIME_DIR"
file=$scratch/rally.kx5170
printf 'kx5170-settings = 1\nstops = 4000\n' > "$file"
stops() { "$ctl" --demo show | awk '{ for (i = 1; i < NF; i++) if ($i == "stops") print $(i + 1) }'; }
saved() { ls -A "$XDG_RUNTIME_DIR/kx5170-demo/journal" 2>/dev/null; }
# Waits up to 10 s for a file to appear.
await() { for _ in $(seq 100); do [ -e "$1" ] && return 0; sleep 0.1; done; return 1; }

[ "$(stops)" = 5000 ] || fail "the demo board does not start at stops 5000: $(stops)"

# SIGTERM while the file is written (the write and the board's reset take over a second).
"$ctl" --demo run "$file" -- touch "$scratch/started" 2> "$scratch/err" &
run=$!
sleep 0.7
kill -TERM $run
wait $run; status=$?
[ $status -eq 143 ] || fail "SIGTERM during the write: status $status: $(cat "$scratch/err")"
[ ! -e "$scratch/started" ] || fail "SIGTERM during the write: the command was started"
grep -q "SIGTERM came during the write, so touch was not started; the board's own settings are back" "$scratch/err" ||
    fail "SIGTERM during the write not told: $(cat "$scratch/err")"
[ "$(stops)" = 5000 ] || fail "SIGTERM during the write: stops $(stops) afterwards"
[ -z "$(saved)" ] || fail "SIGTERM during the write: the record left: $(saved)"

# SIGTERM to the process group run was started in, as a launcher stops what it started:
# the command gets it once, through run, and run's status is the command's. The shell
# that sends it catches it rather than ignoring it, so that what it starts does not
# inherit an ignored SIGTERM.
cat > "$scratch/game" <<'GAME'
trap 'echo TERM >> "$1"; got=1' TERM
touch "$1.started"
while [ -z "${got:-}" ]; do sleep 0.05; done
sleep 0.5  # a second copy would come meanwhile
exit 7
GAME
setsid bash -c '
    trap true TERM
    "$1" --demo run "$2" -- bash "$3/game" "$3/terms" 2> "$3/err" &
    run=$!
    for _ in $(seq 100); do [ -e "$3/terms.started" ] && break; sleep 0.1; done
    kill -TERM 0
    wait $run; echo $? > "$3/status"' bash "$ctl" "$file" "$scratch"
[ "$(cat "$scratch/status")" = 7 ] || fail "group SIGTERM: status $(cat "$scratch/status"): $(cat "$scratch/err")"
[ "$(cat "$scratch/terms")" = TERM ] || fail "group SIGTERM: the command got it $(wc -l < "$scratch/terms") times"
[ "$(stops)" = 5000 ] || fail "group SIGTERM: stops $(stops) afterwards"

# run killed while its command runs: the board keeps the file, and says so.
"$ctl" --demo run "$file" -- bash -c 'echo $$ > "$0.pid"; mv "$0.pid" "$0"; exec sleep 30' "$scratch/killed" \
    2> /dev/null &
run=$!
await "$scratch/killed" || fail "SIGKILL: the command never started"
kill -KILL $run
wait $run 2> /dev/null
kill "$(cat "$scratch/killed")"  # the command, left behind
shown=$("$ctl" --demo show)
[[ $shown == *"The board still holds rally.kx5170 (put on by run at "*"which did not finish); kx5170ctl restore puts its own settings back."* ]] ||
    fail "SIGKILL: show does not tell the leftover: $shown"
[ "$(stops)" = 4000 ] || fail "SIGKILL: stops $(stops), not the file's"
out=$("$ctl" --demo restore 2>&1) || fail "restore failed: $out"
[ "$(stops)" = 5000 ] || fail "restore: stops $(stops) afterwards"
[ -z "$(saved)" ] || fail "restore: the record left: $(saved)"
finish
