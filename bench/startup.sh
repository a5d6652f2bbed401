#!/usr/bin/env bash
# Start-up and idle benchmark of the game window under a private Xvfb.
#
# Start-up: over several runs, the time from launch to the first painted board, for the game and
# for tolbex_bare_window (a bare Qt 6 window with a menu bar, a status bar and a painted
# 637 x 445 image). "First painted" is reported by the programs themselves: run with
# TOLBEX_TRACE_FIRST_PAINT=1 they print the wall-clock time at the end of the first paint of
# their board widget (for the game: the first paint after the board was drawn into the window's
# surface) to stderr; the script takes the launch time just before exec. The game's median must
# stay within 1.5 x the bare window's.
# Idle: with the game started and left alone, its user + system CPU time over 5 s, read from
# /proc/<pid>/stat, must stay within 5 clock ticks (the chrono's once-a-second status update
# costs well under one).
#
# Usage: bench/startup.sh [build-dir] [runs]   (default: build, 7 runs)
set -uo pipefail
cd "$(dirname "$0")/.."
build="$(readlink -f "${1:-build}")"
runs="${2:-7}"
game="$build/tolbex"
bare="$build/tolbex_bare_window"
for program in "$game" "$bare"; do
    [ -x "$program" ] || { echo "missing $program: build the targets tolbex and tolbex_bare_window" >&2; exit 2; }
done
for tool in Xvfb awk; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps.sh installs it)" >&2; exit 2; }
done

tmp="$(mktemp -d "${TMPDIR:-/tmp}/tolbex-bench.XXXXXX")"
xvfb=""
child=""
cleanup() {
    [ -n "$child" ] && kill -KILL "$child" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display" | tr -d '[:space:]')"

mkdir -p "$tmp/home" "$tmp/config"
cp -r data/. "$tmp/home/"

# Launches $1 once and prints the microseconds from launch to its first painted board.
time_one() {
    local log="$tmp/run.log" start stamp
    : >"$log"
    start=$(date +%s%6N)
    (cd "$tmp/home" && exec env TOLBEX_TRACE_FIRST_PAINT=1 XDG_CONFIG_HOME="$tmp/config" \
        SDL_AUDIODRIVER=dummy "$1" 2>"$log" >/dev/null) &
    child=$!
    for _ in $(seq 1000); do
        stamp=$(sed -n 's/^tolbex: first board paint at \([0-9]*\) us$/\1/p' "$log")
        [ -n "$stamp" ] && break
        sleep 0.01
    done
    kill -KILL "$child" 2>/dev/null   # SIGKILL: the sound library may take SIGTERM for itself
    wait "$child" 2>/dev/null
    child=""
    [ -n "$stamp" ] || { echo "no first paint reported by $1" >&2; cat "$log" >&2; exit 1; }
    echo $((stamp - start))
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

time_one "$bare" >/dev/null   # warm the caches for both
time_one "$game" >/dev/null
: >"$tmp/bare.times"
: >"$tmp/game.times"
for _ in $(seq "$runs"); do
    time_one "$bare" >>"$tmp/bare.times"
    time_one "$game" >>"$tmp/game.times"
done
bare_median=$(median <"$tmp/bare.times")
game_median=$(median <"$tmp/game.times")
echo "launch to first painted board, median of $runs runs:"
echo "  bare Qt window  $((bare_median / 1000)) ms   (runs: $(tr '\n' ' ' <"$tmp/bare.times" | sed 's/[0-9]\{3\} / /g')ms)"
echo "  Tolbex          $((game_median / 1000)) ms   (runs: $(tr '\n' ' ' <"$tmp/game.times" | sed 's/[0-9]\{3\} / /g')ms)"
status=0
if [ $((game_median * 2)) -gt $((bare_median * 3)) ]; then
    echo "FAIL: the game takes more than 1.5 x the bare window's start-up" >&2
    status=1
fi

# Idle CPU over 5 s, after the start-up has settled.
(cd "$tmp/home" && exec env XDG_CONFIG_HOME="$tmp/config" SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>&1) &
child=$!
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$child/stat"; }
before=$(ticks)
sleep 5
after=$(ticks)
kill -KILL "$child" 2>/dev/null
wait "$child" 2>/dev/null
child=""
idle=$((after - before))
echo "idle game: $idle clock ticks of CPU in 5 s ($(getconf CLK_TCK) ticks a second)"
if [ "$idle" -gt 5 ]; then
    echo "FAIL: the idle game uses measurable CPU" >&2
    status=1
fi
exit $status
