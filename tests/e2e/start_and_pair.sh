#!/usr/bin/env bash
# The game starts on a dealt board; after a saved game with four tiles left is loaded through
# the Load dialog, the two tiles of its open pair, clicked, leave the board and the others stay.
source "$(dirname "$0")/lib/common.bash"
e2e_begin "$@"

e2e_make_save "$E2E_HOME/four.TXM" 4
e2e_start_main

# A dealt board: 144 tile pictures make hundreds of colours; an empty board has one.
e2e_shot dealt
colours=$(e2e_board_colours "$SHOT")
[ "$colours" -gt 50 ] || e2e_fail "the board shows only $colours colours: no dealt board"
e2e_log "dealt board shows $colours colours"

e2e_load_game "$MAIN" "$E2E_HOME/four.TXM"
e2e_find_board "$MAIN"
e2e_shot loaded
for point in "$CLICK_A_X $CLICK_A_Y" "$CLICK_B_X $CLICK_B_Y"; do
    set -- $point
    e2e_tile_shown "$1" "$2" || e2e_fail "no tile at $1,$2 after loading the four-tile game"
done
colours=$(e2e_board_colours "$SHOT")

e2e_take_pair_off
# The two tiles that were not clicked are still there.
while read -r _ index x y inPair; do
    [ "$inPair" = 0 ] || continue
    e2e_tile_shown "$x" "$y" || e2e_fail "tile $index at $x,$y vanished though it was not clicked"
done < <(grep '^TILE ' "$SAVE_INFO")
after=$(e2e_board_colours "$SHOT")
[ "$after" -lt "$colours" ] || e2e_fail "the board did not change: $colours colours before, $after after"

e2e_exit_by_menu
e2e_log "PASS"
