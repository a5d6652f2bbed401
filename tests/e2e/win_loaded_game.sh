#!/usr/bin/env bash
# A saved game with two tiles left, loaded through the Load dialog, is won by two clicks: the
# name typed into the win dialog enters the Top 10, which is shown, then the notice that a
# loaded game's score lives only in a saved game; saved again, the new file holds the new row,
# and the layout's scores file does not.
source "$(dirname "$0")/lib/common.bash"
e2e_begin "$@"

NAME="Ada E2E"
e2e_make_save "$E2E_HOME/two.TXM" 2
e2e_start_main
e2e_load_game "$MAIN" "$E2E_HOME/two.TXM"
e2e_find_board "$MAIN"

e2e_click_board "$CLICK_A_X" "$CLICK_A_Y"
e2e_click_board "$CLICK_B_X" "$CLICK_B_Y"
e2e_wait_window "You win !!!"
e2e_shot win-dialog
# The name field comes with "Player" selected: typing replaces it.
e2e_type "$WIN" "$NAME"
e2e_keys "$WIN" Return
e2e_wait_window "Top 10"
TOP=$WIN
sleep 0.3
e2e_shot top-ten
e2e_keys "$TOP" Return
e2e_wait_window "Tolbex"
e2e_shot keep-score-notice
e2e_keys "$WIN" Return
e2e_wait_window_gone "Tolbex"

e2e_keys "$MAIN" alt+g s
e2e_wait_window "Save As"
sleep 0.3
e2e_type "$WIN" "$E2E_HOME/after.TXM"
e2e_keys "$WIN" Return
e2e_wait_window_gone "Save As"
saved() { [ "$(stat -c %s "$E2E_HOME/after.TXM" 2>/dev/null)" = 9453 ]; }
e2e_wait_until 5 "no 9453-byte saved game at $E2E_HOME/after.TXM" saved
# The Top 10 rows of a saved game lie at 9035..9414, 38 bytes each: the name opens a row.
rows="$(tail -c +9036 "$E2E_HOME/after.TXM" | head -c 380 | tr '\0' '\n')"
grep -qx "$NAME" <<<"$rows" || e2e_fail "the saved game's Top 10 lacks '$NAME'"
grep -qx "$NAME" <<<"$(tail -c +9036 "$E2E_HOME/two.TXM" | head -c 380 | tr '\0' '\n')" &&
    e2e_fail "the original saved game already held '$NAME'"
if [ -f "$E2E_HOME/LAYOUTS/LAYOUT1.txs" ] && tr '\0' '\n' <"$E2E_HOME/LAYOUTS/LAYOUT1.txs" | grep -qx "$NAME"; then
    e2e_fail "a loaded game's win was written to the layout's scores file"
fi

e2e_exit_by_menu
e2e_log "PASS"
