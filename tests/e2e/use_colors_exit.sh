#!/usr/bin/env bash
# "&Use colors" toggled from the keyboard menu (Alt+O, U) and "&Exit" (Alt+G, E) write the new
# flag to the settings file (TOLBEX13.CFG in the config folder, byte 104); the next start reads
# it, and toggling again writes it back off.
source "$(dirname "$0")/lib/common.bash"
e2e_begin "$@"

flag() { od -An -tu1 -j104 -N1 "$E2E_CFG" | tr -d ' '; }

for expected in 1 0; do
    e2e_start_main 0.8
    e2e_shot "before-$expected"
    before=$SHOT
    e2e_keys "$MAIN" alt+o u
    sleep 0.5
    e2e_shot "after-$expected"
    # The tiles are drawn again in the other manner: the board's picture changes.
    if cmp -s <(convert "$before" -crop "637x425+${BOARD_X}+${BOARD_Y}" +repage rgb:-) \
              <(convert "$SHOT" -crop "637x425+${BOARD_X}+${BOARD_Y}" +repage rgb:-); then
        e2e_fail "the board looks the same after Use colors"
    fi
    e2e_exit_by_menu
    e2e_expect_settings Exit
    [ "$(flag)" = "$expected" ] || e2e_fail "byte 104 of the settings file is $(flag), expected $expected"
    e2e_log "Use colors written as $expected"
done
e2e_log "PASS"
