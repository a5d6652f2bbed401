#!/usr/bin/env bash
# Start-up, memory and idle benchmark of the game window under a private Xvfb.
#
# Start-up: over several interleaved runs, the time from launch to the first painted board, for
# the game and for tolbex_bare_window (a bare Qt 6 window with a menu bar, a status bar and a
# painted 637 x 445 image). "First painted" is reported by the programs themselves: run with
# TOLBEX_TRACE_FIRST_PAINT=1 they print the wall-clock time at the end of the first paint of
# their board widget (for the game: the first paint after the board was drawn into the window's
# surface) and their resident memory at that moment to stderr; the script takes the launch time
# just before exec. Targets: the game's median time within 1.1 x the bare window's, its median
# resident memory within the bare window's + 4 MiB. The resident memory of both one second
# after the first paint (sound started) is reported beside it.
# Idle: with the game started and left alone, its user + system CPU time over 5 s, read from
# /proc/<pid>/stat, must stay within 5 clock ticks (the chrono's once-a-second status update
# costs well under one).
# Paused: the game paused from its menu (Alt+G, P, through xdotool) and left alone for 10 s must
# take no CPU time and no wake-up: the context switches of all its threads
# (/proc/<pid>/task/*/status) do not move.
#
# Usage: bench/startup.sh [build-dir] [runs]   (default: build, 9 runs)
set -uo pipefail
cd "$(dirname "$0")/.."
build="$(readlink -f "${1:-build}")"
runs="${2:-9}"
game="$build/tolbex"
bare="$build/tolbex_bare_window"
for program in "$game" "$bare"; do
    [ -x "$program" ] || { echo "missing $program: build the targets tolbex and tolbex_bare_window" >&2; exit 2; }
done
for tool in Xvfb awk xdotool; do
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

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display" | tr -d '[:space:]')"

mkdir -p "$tmp/home" "$tmp/config"
cp -r data/. "$tmp/home/"

# Launches $1 once and prints the microseconds from launch to its first painted board, its
# resident KiB then and its resident KiB one second later.
time_one() {
    local log="$tmp/run.log" start line stamp resident later
    : >"$log"
    start=$(date +%s%6N)
    (cd "$tmp/home" && exec env TOLBEX_TRACE_FIRST_PAINT=1 XDG_CONFIG_HOME="$tmp/config" \
        SDL_AUDIODRIVER=dummy "$1" 2>"$log" >/dev/null) &
    child=$!
    for _ in $(seq 1000); do
        line=$(grep -m1 '^tolbex: first board paint at ' "$log")
        [ -n "$line" ] && break
        sleep 0.01
    done
    stamp=$(sed -n 's/^tolbex: first board paint at \([0-9]*\) us.*/\1/p' <<<"$line")
    resident=$(sed -n 's/.*, resident \([0-9]*\) KiB$/\1/p' <<<"$line")
    sleep 1
    later=$(awk '/^VmRSS:/ {print $2}' "/proc/$child/status" 2>/dev/null)
    kill -KILL "$child" 2>/dev/null   # SIGKILL: the sound library may take SIGTERM for itself
    wait "$child" 2>/dev/null
    child=""
    [ -n "$stamp" ] && [ -n "$resident" ] || { echo "no first paint reported by $1" >&2; cat "$log" >&2; exit 1; }
    echo "$((stamp - start)) $resident ${later:-0}"
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
column() { awk -v c="$1" '{print $c}' "$2" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

time_one "$bare" >/dev/null   # warm the caches for both
time_one "$game" >/dev/null
: >"$tmp/bare.runs"
: >"$tmp/game.runs"
for _ in $(seq "$runs"); do
    time_one "$bare" >>"$tmp/bare.runs"
    time_one "$game" >>"$tmp/game.runs"
done
bare_time=$(column 1 "$tmp/bare.runs")
game_time=$(column 1 "$tmp/game.runs")
bare_rss=$(column 2 "$tmp/bare.runs")
game_rss=$(column 2 "$tmp/game.runs")
bare_later=$(column 3 "$tmp/bare.runs")
game_later=$(column 3 "$tmp/game.runs")
echo "launch to first painted board, median of $runs interleaved runs:"
echo "  bare Qt window  $((bare_time / 1000)) ms   (runs: $(awk '{printf "%d ", $1 / 1000}' "$tmp/bare.runs")ms)"
echo "  Tolbex          $((game_time / 1000)) ms   (runs: $(awk '{printf "%d ", $1 / 1000}' "$tmp/game.runs")ms)"
echo "  ratio           $(ratio "$game_time" "$bare_time") (target at most 1.10)"
echo "resident memory at the first paint, median: bare $((bare_rss / 1024)) MiB, Tolbex $((game_rss / 1024)) MiB," \
     "difference $(((game_rss - bare_rss) / 1024)) MiB ($((game_rss - bare_rss)) KiB, target at most 4096 KiB)"
echo "resident memory one second later, median: bare $((bare_later / 1024)) MiB, Tolbex $((game_later / 1024)) MiB," \
     "difference $((game_later - bare_later)) KiB"
status=0
if [ $((game_time * 10)) -gt $((bare_time * 11)) ]; then
    echo "FAIL: the game takes more than 1.1 x the bare window's start-up" >&2
    status=1
fi
if [ $((game_rss - bare_rss)) -gt 4096 ]; then
    echo "FAIL: the game holds more than 4 MiB over the bare window at its first paint" >&2
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

# Paused for 10 s: no CPU time and no context switch in any thread.
(cd "$tmp/home" && exec env XDG_CONFIG_HOME="$tmp/config" SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>&1) &
child=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Tolbex v1.3$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the game window did not show" >&2; exit 1; }
sleep 1
xdotool windowfocus "$window" key --delay 100 alt+g p
sleep 2   # the last status refresh, at the next beat after the pause
switches() { cat /proc/"$child"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'; }
before_ticks=$(ticks)
before_switches=$(switches)
sleep 10
after_ticks=$(ticks)
after_switches=$(switches)
threads=$(ls /proc/"$child"/task | wc -l)
kill -KILL "$child" 2>/dev/null
wait "$child" 2>/dev/null
child=""
paused_ticks=$((after_ticks - before_ticks))
paused_switches=$((after_switches - before_switches))
echo "paused game: $paused_ticks clock ticks of CPU and $paused_switches context switches in 10 s ($threads threads)"
if [ "$paused_ticks" -gt 0 ] || [ "$paused_switches" -gt 0 ]; then
    echo "FAIL: the paused game wakes up" >&2
    status=1
fi
exit $status
