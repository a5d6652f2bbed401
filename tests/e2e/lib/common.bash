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

# Starts Xvfb on a display number it picks itself (-displayfd), so that parallel runs never clash.
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
    mkdir -p "$E2E_HOME" "$E2E_CONFIG"
    cp -r "$E2E_SRC/data/." "$E2E_HOME/" || e2e_fail "cannot copy data/ into $E2E_HOME"

    local fifo="$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local n=0
    while [ ! -s "$fifo" ]; do
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
        n=$((n + 1))
        [ $n -gt 100 ] && e2e_fail "Xvfb gave no display number within 10 s"
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fifo" | tr -d '[:space:]')"
    e2e_log "Xvfb on $DISPLAY, home $E2E_HOME"
}

# Starts the game in the temporary home with the temporary config folder.
e2e_start_game() {
    : >"$E2E_TMP/game.log"
    (cd "$E2E_HOME" && exec env XDG_CONFIG_HOME="$E2E_CONFIG" SDL_AUDIODRIVER=dummy \
        QT_QPA_PLATFORM=xcb "$E2E_BIN" >>"$E2E_TMP/game.log" 2>&1) &
    E2E_GAME_PID=$!
}

# Waits for the game to end by itself; fails when it does not within $1 s or ends with an error.
e2e_wait_game_exit() {
    local limit="${1:-10}" n=0
    while kill -0 "$E2E_GAME_PID" 2>/dev/null; do
        n=$((n + 1))
        [ $n -gt $((limit * 10)) ] && e2e_fail "the game did not end within $limit s"
        sleep 0.1
    done
    wait "$E2E_GAME_PID"
    local code=$?
    E2E_GAME_PID=""
    [ $code -eq 0 ] || e2e_fail "the game ended with exit code $code"
}

# Sets WIN to the visible window whose whole title is $1, waiting up to $2 s (default 15).
e2e_wait_window() {
    local title="$1" limit="${2:-15}" n=0
    WIN=""
    while [ -z "$WIN" ]; do
        kill -0 "$E2E_GAME_PID" 2>/dev/null || e2e_fail "the game is not running (waiting for '$title')"
        n=$((n + 1))
        [ $n -gt $((limit * 10)) ] && e2e_fail "no window titled '$title' within $limit s"
        WIN="$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1)"
        [ -n "$WIN" ] || sleep 0.1
    done
}

# Waits until no visible window is titled $1 any more.
e2e_wait_window_gone() {
    local title="$1" limit="${2:-10}" n=0
    while xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1; do
        n=$((n + 1))
        [ $n -gt $((limit * 10)) ] && e2e_fail "the window '$title' is still open after $limit s"
        sleep 0.1
    done
}

# Gives window $1 the keyboard focus (there is no window manager to do it), then sends keys.
e2e_keys() {
    local window="$1"
    shift
    timeout 3 xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    sleep 0.1
    local key
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.25
    done
}

e2e_type() {
    local window="$1" text="$2"
    timeout 3 xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    xdotool type --delay 30 --clearmodifiers "$text"
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

# Writes saved game $1 with $2 tiles left through the tool built beside the game, and sets
# CLICK_A_X CLICK_A_Y CLICK_B_X CLICK_B_Y (the open pair) and SAVE_INFO (the tool's report).
e2e_make_save() {
    local tool="$(dirname "$E2E_BIN")/tolbex_make_test_save"
    [ -x "$tool" ] || e2e_fail "the tool $tool is missing (build the target tolbex_make_test_save)"
    SAVE_INFO="$E2E_TMP/save-$2.txt"
    "$tool" "$E2E_HOME" "$1" "$2" >"$SAVE_INFO" 2>"$E2E_TMP/save-$2.err" ||
        e2e_fail "the test save could not be made: $(cat "$E2E_TMP/save-$2.err")"
    read -r _ CLICK_A_X CLICK_A_Y CLICK_B_X CLICK_B_Y < <(grep '^CLICK ' "$SAVE_INFO")
    [ -n "${CLICK_B_Y:-}" ] || e2e_fail "the tool gave no click points: $(cat "$SAVE_INFO")"
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
    local point p
    e2e_click_board "$CLICK_A_X" "$CLICK_A_Y"
    e2e_click_board "$CLICK_B_X" "$CLICK_B_Y"
    sleep 0.5
    e2e_shot after-pair
    for point in "$CLICK_A_X $CLICK_A_Y" "$CLICK_B_X $CLICK_B_Y"; do
        set -- $point
        p=$(e2e_pixel "$SHOT" $((BOARD_X + $1)) $((BOARD_Y + $2)))
        [ "$p" = "C0C0C0" ] || e2e_fail "the tile at $1,$2 is still shown ($p) after the pair was clicked"
    done
}
