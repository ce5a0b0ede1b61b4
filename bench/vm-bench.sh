#!/bin/bash
# The measurements that need a board on /dev/uhid, run inside the VM by scripts/bench
# (through scripts/run-in-vm). Prints "bench: KIND key=value" lines.
#
#   vm-bench.sh BUILD_DIR RUNS SECONDS
set -u
build=$1 runs=$2 seconds=$3
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

board=$build/bench/kx5170-bench-board
window=$build/bench/kx5170-bench-window
launch=$build/bench/kx5170-bench-launch
program=$build/app/kx5170-config
shared=/dev/shm/kx5170-bench-times
out=/tmp/kx5170-bench-board.out
board_pid=

start_board() {
    rm -f "$shared"
    "$board" --shared "$shared" "$@" >"$out" 2>&1 &
    board_pid=$!
    for _ in $(seq 100); do
        [[ -s $shared ]] && return 0
        sleep 0.02
    done
    echo "bench: error=the board did not start: $(cat "$out")"
    return 1
}

wait_ready() {
    for _ in $(seq 200); do
        grep -q '^ready' "$out" && return 0
        sleep 0.05
    done
    echo "bench: error=the board's node did not appear: $(cat "$out")"
    return 1
}

stop_board() {
    [[ -n $board_pid ]] || return 0
    kill "$board_pid" 2>/dev/null
    wait "$board_pid" 2>/dev/null
    board_pid=
}

emit() {
    local line
    while IFS= read -r line; do
        [[ $line == *=* ]] && echo "bench: $1 $line"
    done
}

trap stop_board EXIT
floor=$build/bench/kx5170-bench-floor
timer=$build/bench/kx5170-bench-time
enumerate=$build/bench/kx5170-bench-enumerate
ctl=$build/cli/kx5170ctl

# The first start reads every library through the shared folder: not counted.
start_board --rate 1000 && wait_ready || exit 1
"$window" --shared "$shared" --seconds 1 >/dev/null 2>&1
"$launch" --cpu-after 500 --cpu-for 500 -- "$floor" >/dev/null 2>&1
stop_board

for run in $(seq "$runs"); do
    # For scale: what a bare Qt program costs here.
    "$launch" --cpu-after 3000 --cpu-for $((seconds * 1000)) -- "$floor" 2>/dev/null | emit floor

    # The board streams from before the program starts.
    start_board --rate 1000 && wait_ready || exit 1
    sleep 0.5
    "$launch" --exec -- "$window" --shared "$shared" --seconds "$seconds" 2>/dev/null | emit stream
    "$launch" --cpu-after 3000 --cpu-for $((seconds * 1000)) -- "$program" 2>/dev/null | emit program
    stop_board

    # Plugged in while the program runs with no board open.
    # Plugged in well after the window has started, even on a slow machine.
    start_board --rate 1000 --plug-after 4000 || exit 1
    "$window" --shared "$shared" --seconds 7 2>/dev/null | emit plug
    stop_board
    # kx5170ctl's list and show with one board present, against the bare enumeration.
    start_board --rate 100 && wait_ready || exit 1
    "$timer" 5 -- "$enumerate" | emit enum
    "$timer" 5 -- "$ctl" list | emit ctllist
    "$timer" 5 -- "$ctl" show | emit ctlshow
    stop_board
    echo "bench: done run=$run"
done
