#!/usr/bin/env bash
# The dead-end warning as a player meets it: switched on through the Options menu, a saved game
# lost from its deal shows "This deal cannot be won" after loading; a winnable saved game, after
# one careless pair, shows "No way out: Undo 1", and Undo clears it. The status bar's text is
# read back as the amount of ink right of the tiles and chrono pieces.
source "$(dirname "$0")/lib/common.bash"
e2e_begin "$@"

e2e_run_save_tool tolbex_make_dead_end_saves "$E2E_TMP/saves.txt" "$E2E_HOME" "$E2E_HOME/lost.TXM" "$E2E_HOME/trap.TXM"

# Dark pixels in the status bar right of x = 300 in the window: the warning's piece, if any
# (the tiles and chrono pieces end well before).
warning_ink() {
    local X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    e2e_shot "$1"
    convert "$SHOT" -crop "$((WIDTH - 310))x18+$((X + 300))+$((Y + HEIGHT - 20))" +repage \
        -colorspace gray -threshold 40% -format "%[fx:int(w*h*(1-mean))]" info:
}

# True when the warning's ink in a new screenshot satisfies `$2 $3` (e.g. -gt 40); INK holds the
# amount read. Polled with e2e_wait_until: the check runs in the background, and under the
# sanitizers on a busy machine it can take seconds.
ink_is() {
    INK="$(warning_ink "$1")"
    [ "$INK" "$2" "$3" ]
}
e2e_start_main
[ "$(warning_ink start)" -eq 0 ] || e2e_fail "ink in the status bar right of the chrono before the option is on"
e2e_keys "$MAIN" alt+o d
sleep 0.5

e2e_load_game "$MAIN" "$E2E_HOME/lost.TXM"
e2e_wait_until 20 "no warning after loading a deal that cannot be won" ink_is lost-deal -gt 40
lost=$INK
e2e_log "ink after loading the lost deal: $lost"

e2e_load_game "$MAIN" "$E2E_HOME/trap.TXM"
e2e_find_board "$MAIN"
sleep 1
[ "$(warning_ink trap-loaded)" -eq 0 ] || e2e_fail "a warning on a position that can be won"
e2e_click_board "$CLICK_A_X" "$CLICK_A_Y"
e2e_click_board "$CLICK_B_X" "$CLICK_B_Y"
e2e_wait_until 20 "no warning after the careless pair" ink_is careless-pair -gt 40
careless=$INK
e2e_log "ink after the careless pair: $careless"
[ "$careless" -lt "$lost" ] || e2e_fail "the undo warning is not shorter than the lost-deal one"
e2e_keys "$MAIN" alt+g u
e2e_wait_until 20 "the warning stays after Undo" ink_is undone -eq 0

e2e_exit_by_menu
e2e_log "PASS"
