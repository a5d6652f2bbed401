# Shared by the end-to-end scripts: a private Xvfb display, a temporary home directory holding a
# copy of data/ and a temporary XDG_CONFIG_HOME, the game started there, and helpers to wait for
# windows, type, click on the board and read pixels back from screenshots. Everything started
# here is stopped on exit, and every failure says what was expected.
# Use: source it, then `e2e_begin "$@"` (arguments: <tolbex-binary> <source-dir>).

set -uo pipefail

E2E_BIN=""
E2E_SRC=""
E2E_TMP=""
E2E_HOME=""
E2E_CONFIG=""
E2E_CFG=""
E2E_XVFB_PID=""
E2E_GAME_PID=""
E2E_NAME="$(basename "${BASH_SOURCE[1]:-e2e}" .sh)"
E2E_SHOTS="${E2E_SHOTS:-}"   # a folder to keep the screenshots in, when set

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    if [ -n "$E2E_TMP" ] && [ -f "$E2E_TMP/game.log" ]; then
        e2e_log "game output:"
        sed 's/^/    /' "$E2E_TMP/game.log" >&2
    fi
    if [ -n "$E2E_TMP" ] && [ -n "${DISPLAY:-}" ]; then
        import -window root "$E2E_TMP/failure.png" 2>/dev/null &&
            cp "$E2E_TMP/failure.png" "/tmp/$E2E_NAME-failure.png" 2>/dev/null &&
            e2e_log "screen at the failure: /tmp/$E2E_NAME-failure.png"
    fi
    exit 1
}

e2e_cleanup() {
    if [ -n "$E2E_GAME_PID" ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
        kill "$E2E_GAME_PID" 2>/dev/null
        sleep 0.3
        kill -9 "$E2E_GAME_PID" 2>/dev/null
    fi
    if [ -n "$E2E_XVFB_PID" ] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
    fi
    [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 ||
            e2e_fail "the tool '$tool' is missing (scripts/deps.sh installs it); this test cannot run without it"
    done
}

# Runs "$@" every 0.1 s until it succeeds; fails with message $2 after $1 s.
e2e_wait_until() {
    local limit="$1" message="$2" n=0
    shift 2
    until "$@"; do
        n=$((n + 1))
        [ $n -gt $((limit * 10)) ] && e2e_fail "$message"
        sleep 0.1
    done
}

e2e_xvfb_ready() {
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    [ -s "$E2E_TMP/display" ]
}

# Starts Xvfb on a display number it picks itself (-displayfd), so that parallel runs never clash.
# -noreset: by default Xvfb resets when its last client leaves, and a game started again at that
# moment is dropped before it is accepted ("could not connect to display").
e2e_begin() {
    E2E_BIN="$(readlink -f "${1:-}")"
    E2E_SRC="$(readlink -f "${2:-}")"
    trap e2e_cleanup EXIT
    trap 'e2e_fail "interrupted"' INT TERM
    [ -x "$E2E_BIN" ] || e2e_fail "no game binary at '$E2E_BIN'"
    [ -d "$E2E_SRC/data" ] || e2e_fail "no data folder in the source directory '$E2E_SRC'"
    e2e_require Xvfb xdotool import convert
    E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/tolbex-e2e.XXXXXX")" || e2e_fail "no temporary directory"
    E2E_HOME="$E2E_TMP/home"
    E2E_CONFIG="$E2E_TMP/config"
    E2E_CFG="$E2E_CONFIG/TOLBEX13.CFG"
    mkdir -p "$E2E_HOME" "$E2E_CONFIG"
    cp -r "$E2E_SRC/data/." "$E2E_HOME/" || e2e_fail "cannot copy data/ into $E2E_HOME"

    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e_wait_until 10 "Xvfb gave no display number within 10 s" e2e_xvfb_ready
    export DISPLAY=":$(head -n1 "$E2E_TMP/display" | tr -d '[:space:]')"
    e2e_log "Xvfb on $DISPLAY, home $E2E_HOME"
}

# Starts the game in the temporary home with the temporary config folder.
e2e_start_game() {
    : >"$E2E_TMP/game.log"
    (cd "$E2E_HOME" && exec env XDG_CONFIG_HOME="$E2E_CONFIG" SDL_AUDIODRIVER=dummy \
        QT_QPA_PLATFORM=xcb "$E2E_BIN" >>"$E2E_TMP/game.log" 2>&1) &
    E2E_GAME_PID=$!
}

# Starts the game, waits for its main window (MAIN) and, after $1 s (default 1), finds the board.
e2e_start_main() {
    e2e_start_game
    e2e_wait_window "Tolbex v1.3"
    MAIN=$WIN
    sleep "${1:-1}"
    e2e_find_board "$MAIN"
}

e2e_game_gone() { ! kill -0 "$E2E_GAME_PID" 2>/dev/null; }

# Collects the ended game's exit code and fails unless it is 0 ($1: what ended it).
e2e_reap() {
    wait "$E2E_GAME_PID"
    local code=$?
    E2E_GAME_PID=""
    [ $code -eq 0 ] || e2e_fail "the game ended with exit code $code${1:+ after $1}"
}

# Waits for the game to end by itself; fails when it does not within $1 s or ends with an error.
e2e_wait_game_exit() {
    e2e_wait_until "${1:-10}" "the game did not end within ${1:-10} s" e2e_game_gone
    e2e_reap
}

# Ends the game by Exit in its menu (Alt+G, E) and waits for it.
e2e_exit_by_menu() {
    e2e_keys "$MAIN" alt+g e
    e2e_wait_game_exit 10
}

# Fails unless the settings file was written whole ($1: after what).
e2e_expect_settings() {
    [ -f "$E2E_CFG" ] || e2e_fail "no settings file at $E2E_CFG after $1"
    [ "$(stat -c %s "$E2E_CFG")" = 3640 ] || e2e_fail "the settings file holds $(stat -c %s "$E2E_CFG") bytes after $1"
}

# Sets WIN to the visible window whose whole title is $1 (empty when there is none).
e2e_find_window() {
    kill -0 "$E2E_GAME_PID" 2>/dev/null || e2e_fail "the game is not running (waiting for '$1')"
    WIN="$(xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null | head -n1)"
    [ -n "$WIN" ]
}

# Sets WIN to the visible window whose whole title is $1, waiting up to $2 s (default 15).
e2e_wait_window() {
    e2e_wait_until "${2:-15}" "no window titled '$1' within ${2:-15} s" e2e_find_window "$1"
}

e2e_window_gone() { ! xdotool search --onlyvisible --name "^${1}\$" >/dev/null 2>&1; }

# Waits until no visible window is titled $1 any more.
e2e_wait_window_gone() {
    e2e_wait_until "${2:-10}" "the window '$1' is still open after ${2:-10} s" e2e_window_gone "$1"
}

# Gives window $1 the keyboard focus (there is no window manager to do it).
e2e_focus() { timeout 3 xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }

# Sends keys $2... to window $1.
e2e_keys() {
    local key
    e2e_focus "$1"
    sleep 0.1
    for key in "${@:2}"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.25
    done
}

e2e_type() {
    e2e_focus "$1"
    xdotool type --delay 30 --clearmodifiers "$2"
    sleep 0.2
}

# Sets SHOT to a new screenshot of the whole screen named $1.
e2e_shot() {
    SHOT="$E2E_TMP/$1.png"
    import -window root "$SHOT" || e2e_fail "no screenshot could be taken"
    if [ -n "$E2E_SHOTS" ]; then mkdir -p "$E2E_SHOTS" && cp "$SHOT" "$E2E_SHOTS/$E2E_NAME-$1.png"; fi
}

# The colour of screen pixel ($2, $3) in screenshot $1, as RRGGBB.
e2e_pixel() {
    convert "$1" -format "%[hex:u.p{$2,$3}]" info: 2>/dev/null | cut -c1-6
}

# Whether the board point ($1, $2) shows a tile in the last screenshot (not the background).
e2e_tile_shown() { [ "$(e2e_pixel "$SHOT" $((BOARD_X + $1)) $((BOARD_Y + $2)))" != C0C0C0 ]; }

# Finds the board's top-left on the screen inside main window $1: the first pixel of the
# board's background colour (C0C0C0 with the default settings) below the menu bar, near the
# right edge where no menu title stands. Sets BOARD_X and BOARD_Y.
e2e_find_board() {
    local window="$1" x y w h column top X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$X y=$Y w=$WIDTH h=$HEIGHT
    e2e_shot board-origin
    column=$((x + w - 4))
    top="$(convert "$SHOT" -crop "1x${h}+${column}+${y}" +repage txt:- 2>/dev/null |
        awk -F'[ ,:]+' '/#C0C0C0/ {print $2; exit}')"
    [ -n "$top" ] || e2e_fail "no board background (C0C0C0) found in column $column of the window at $x,$y ${w}x$h"
    BOARD_X=$x
    BOARD_Y=$((y + top))
    e2e_log "board at $BOARD_X,$BOARD_Y (window $x,$y ${w}x$h)"
}

e2e_click_board() {
    xdotool mousemove --sync $((BOARD_X + $1)) $((BOARD_Y + $2)) 2>/dev/null ||
        xdotool mousemove $((BOARD_X + $1)) $((BOARD_Y + $2))
    sleep 0.1
    xdotool click 1
    sleep 0.3
}

# Number of distinct colours in the board area of screenshot $1 (a dealt board has many).
e2e_board_colours() {
    convert "$1" -crop "637x425+${BOARD_X}+${BOARD_Y}" +repage -format %k info:
}

# Runs the tool $1 built beside the game with arguments $3..., its report going to $2, and sets
# CLICK_A_X CLICK_A_Y CLICK_B_X CLICK_B_Y from its CLICK line (an open pair to click).
e2e_run_save_tool() {
    local tool="$(dirname "$E2E_BIN")/$1" report="$2"
    shift 2
    [ -x "$tool" ] || e2e_fail "the tool $tool is missing (build the target $(basename "$tool"))"
    "$tool" "$@" >"$report" 2>"$report.err" || e2e_fail "the saved game could not be made: $(cat "$report.err")"
    read -r _ CLICK_A_X CLICK_A_Y CLICK_B_X CLICK_B_Y < <(grep '^CLICK ' "$report")
    [ -n "${CLICK_B_Y:-}" ] || e2e_fail "the tool gave no click points: $(cat "$report")"
}

# Writes saved game $1 with $2 tiles left; SAVE_INFO is the tool's report (CLICK and TILE lines).
e2e_make_save() {
    SAVE_INFO="$E2E_TMP/save-$2.txt"
    e2e_run_save_tool tolbex_make_test_save "$SAVE_INFO" "$E2E_HOME" "$1" "$2"
}

# Loads the saved game $2 through the Load command of main window $1 and its file dialog.
e2e_load_game() {
    local main="$1" path="$2"
    e2e_keys "$main" alt+g l
    e2e_wait_window Open
    sleep 0.3
    e2e_type "$WIN" "$path"
    e2e_keys "$WIN" Return
    e2e_wait_window_gone Open
    sleep 0.5
}

# Clicks the open pair of a loaded test save (CLICK_A_*, CLICK_B_*, see e2e_make_save) and fails
# unless both tiles have left the board; SHOT is then the screenshot after the pair.
e2e_take_pair_off() {
    local point
    e2e_click_board "$CLICK_A_X" "$CLICK_A_Y"
    e2e_click_board "$CLICK_B_X" "$CLICK_B_Y"
    sleep 0.5
    e2e_shot after-pair
    for point in "$CLICK_A_X $CLICK_A_Y" "$CLICK_B_X $CLICK_B_Y"; do
        set -- $point
        e2e_tile_shown "$1" "$2" && e2e_fail "the tile at $1,$2 is still shown after the pair was clicked"
    done
    return 0
}
