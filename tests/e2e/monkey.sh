#!/usr/bin/env bash
# The monkey: drives the real game for a while with random clicks and right clicks on the board,
# menu keys (Alt and a letter, menu items picked with the arrows), Enter and Escape. Any modal
# window that comes up is put away: file choosers, the colour chooser and message boxes are
# cancelled with Escape (a file chooser is never accepted), the game's own dialogs take Enter.
# Every few seconds the game must still be running and still answer a right click on the board
# with its colours dialog. At the end it must leave by Exit with code 0 (under the sanitizers,
# any report makes that code non-zero).
#
# Usage: monkey.sh <tolbex-binary> <source-dir> [seconds]
#   seconds: how long to play (default: $TOLBEX_MONKEY_SECONDS, else 60).
#   TOLBEX_MONKEY_SEED picks the random sequence (default: the clock); the log gives it.
source "$(dirname "$0")/lib/common.bash"
e2e_begin "$1" "$2"
seconds="${3:-${TOLBEX_MONKEY_SECONDS:-60}}"
seed="${TOLBEX_MONKEY_SEED:-$(date +%s)}"
RANDOM=$seed
e2e_log "playing for $seconds s, seed $seed"

MAIN_TITLE="Tolbex v1.3"
# Atomic menu gestures: each ends with a command run or a modal window up, never with a menu left
# open. Exit (Alt+G, E) and the help window are left out: the game must keep running.
MENU_KEYS=(
    "alt+g n" "alt+g r" "alt+g u" "alt+g p" "alt+g s" "alt+g l"
    "alt+l" "alt+h"
    "alt+o Return" "alt+o Down Return" "alt+o Down Down Return" "alt+o Down Down Down Return"
    "alt+o u" "alt+o s" "alt+o c" "alt+o e" "alt+o t"
    "alt+m o" "alt+m p" "alt+m n" "alt+m r"
)
# The game's own dialogs, put away with Enter (their default button): Escape does not close them.
# Every other window (file choosers, the colour chooser, message boxes) is cancelled with Escape.
ENTER_TITLES="|Change colors|Change sound files|Top 10|About|You win !!!|"

actions=0
cancelled=0
dialogs=0
checks=0

alive() { kill -0 "$E2E_GAME_PID" 2>/dev/null || e2e_fail "the game died after $actions actions (seed $seed)"; }

# Prints "id<TAB>title" for each visible window of the game besides the main window.
other_windows() {
    local id title
    for id in $(xdotool search --onlyvisible --pid "$E2E_GAME_PID" 2>/dev/null); do
        title="$(xdotool getwindowname "$id" 2>/dev/null)" || continue
        [ -n "$title" ] && [ "$title" != "$MAIN_TITLE" ] && printf '%s\t%s\n' "$id" "$title"
    done
}

# The window to put away first: a chooser or a box, which always stands over the game's dialogs.
topmost_window() {
    local windows
    windows="$(other_windows)"
    [ -n "$windows" ] || return 0
    while IFS=$'\t' read -r id title; do
        [[ "$ENTER_TITLES" != *"|$title|"* ]] && { printf '%s\t%s\n' "$id" "$title"; return 0; }
    done <<<"$windows"
    head -n1 <<<"$windows"
}

# Puts away every modal window, the topmost first, a few rounds at most per call.
put_away() {
    local round id title
    for round in 1 2 3 4 5 6; do
        id=""
        IFS=$'\t' read -r id title < <(topmost_window)
        [ -n "${id:-}" ] || return 0
        if [ "$title" = "Tolbex Help" ]; then
            e2e_fail "the help window opened, which the monkey never asks for"
        elif [[ "$ENTER_TITLES" == *"|$title|"* ]]; then
            keys "$id" Return
            dialogs=$((dialogs + 1))
        else
            keys "$id" Escape
            cancelled=$((cancelled + 1))
        fi
        sleep 0.1
    done
}

# Keys $2... to window $1 in one go (e2e_keys waits more than a monkey can afford).
keys() {
    local window="$1"
    shift
    xdotool windowfocus "$window" key --delay 40 --clearmodifiers "$@" 2>/dev/null
    sleep 0.1
}

random_board_point() {
    X=$((BOARD_X + RANDOM % 637))
    Y=$((BOARD_Y + RANDOM % 425))
}

click_at() {
    xdotool mousemove "$1" "$2" click "$3" 2>/dev/null
}

# The game answers a right click on the board with "Change colors"; Enter closes it. A window
# that the last action opened late (a slow file chooser) is put away first, and the click repeated.
check_answers() {
    local limit=$(($(date +%s) + 15)) id title
    alive
    put_away
    click_at $((BOARD_X + 3)) $((BOARD_Y + 3)) 3
    while :; do
        alive
        IFS=$'\t' read -r id title < <(topmost_window)
        [ "${title:-}" = "Change colors" ] && break
        if [ -n "${id:-}" ]; then
            put_away
            click_at $((BOARD_X + 3)) $((BOARD_Y + 3)) 3
        fi
        [ "$(date +%s)" -gt "$limit" ] && e2e_fail "the game did not answer a right click within 15 s (seed $seed)"
        sleep 0.2
        id="" title=""
    done
    keys "$id" Return
    e2e_wait_window_gone "Change colors" 10
    checks=$((checks + 1))
}

e2e_start_main 0.8

start=$(date +%s)
next_check=$((start + 4))
while [ $(($(date +%s) - start)) -lt "$seconds" ]; do
    alive
    put_away
    roll=$((RANDOM % 100))
    if [ $roll -lt 45 ]; then
        random_board_point
        click_at "$X" "$Y" 1
    elif [ $roll -lt 52 ]; then
        random_board_point
        click_at "$X" "$Y" 3
    elif [ $roll -lt 82 ]; then
        # shellcheck disable=SC2086
        keys "$MAIN" ${MENU_KEYS[$((RANDOM % ${#MENU_KEYS[@]}))]}
    elif [ $roll -lt 91 ]; then
        keys "$MAIN" Return
    else
        keys "$MAIN" Escape
    fi
    actions=$((actions + 1))
    sleep 0.05
    if [ "$(date +%s)" -ge "$next_check" ]; then
        check_answers
        next_check=$(($(date +%s) + 4))
    fi
done
check_answers
e2e_log "$actions actions, $cancelled choosers and boxes cancelled, $dialogs dialogs closed, $checks checks answered"

# Exit from the menu: the run ends normally, with code 0.
put_away
e2e_keys "$MAIN" alt+g e
put_away
e2e_wait_game_exit 20
e2e_log "PASS"
