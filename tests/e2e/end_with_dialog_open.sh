#!/usr/bin/env bash
# A request to end from outside while modal windows are open: SIGTERM with the colour chooser
# open on top of "Change colors", and SIGHUP with the Load file chooser open. Each time the game
# must be gone within one second (three for a sanitizer build), with exit code 0 and the settings
# file written.
source "$(dirname "$0")/lib/common.bash"
e2e_begin "$@"

# The game must be gone within a second; a sanitizer build, which checks the whole heap for
# leaks as it exits, gets three.
limit_ms=1000
grep -qa __asan_init "$E2E_BIN" && limit_ms=3000

# Sends signal $1 and waits at most limit_ms for the game to end.
end_within_limit() {
    local signal="$1" start elapsed
    start=$(date +%s%3N)
    kill -"$signal" "$E2E_GAME_PID"
    while kill -0 "$E2E_GAME_PID" 2>/dev/null; do
        elapsed=$(($(date +%s%3N) - start))
        [ $elapsed -gt $limit_ms ] && e2e_fail "the game still runs $elapsed ms after SIG$signal"
        sleep 0.02
    done
    e2e_log "gone $(($(date +%s%3N) - start)) ms after SIG$signal"
    e2e_reap "SIG$signal"
    e2e_expect_settings "SIG$signal"
}

start() {
    rm -f "$E2E_CFG"
    e2e_start_main 0.8
}

# The colour chooser opened from "Change colors" (Alt+O, the first item): Tab to the first colour button, Space presses it.
start
e2e_keys "$MAIN" alt+o Return
e2e_wait_window "Change colors"
e2e_keys "$WIN" Tab space
e2e_wait_window "Color"
sleep 0.3
end_within_limit TERM
e2e_log "SIGTERM with the colour chooser over Change colors open: ended"

# The Load file chooser.
start
e2e_keys "$MAIN" alt+g l
e2e_wait_window "Open"
sleep 0.3
end_within_limit HUP
e2e_log "SIGHUP with the file chooser open: ended"
e2e_log "PASS"
