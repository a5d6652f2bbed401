#!/usr/bin/env bash
# The Debian package on this machine: installed with apt-get, the game started by its menu entry's
# Exec line from / with a fresh HOME under Xvfb shows the dealt board and no message box, loads a
# saved game and takes a pair off, and ends on SIGTERM; its scores and settings are then in the
# player's folders and nothing was written among the installed files. apt-get remove then leaves
# nothing of the package behind, and the player's files stay.
# Use: install_test.sh <tolbex_*.deb> <build-dir with tolbex_make_test_save> <source-dir>
# Needs root or sudo; E2E_SHOTS names a folder to keep the screenshots in.
source "$(dirname "$0")/../e2e/lib/common.bash"
DEB="$(readlink -f "${1:-}")"
BUILD="$(readlink -f "${2:-}")"
[ -f "$DEB" ] || { echo "no package at '${1:-}'" >&2; exit 1; }
e2e_begin "$BUILD/tolbex" "${3:-}"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
INSTALLED=0
apt_quiet() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get "$@" -y -qq >"$E2E_TMP/apt.log" 2>&1; }
finish() {
    if [ "$INSTALLED" = 1 ]; then apt_quiet remove tolbex; fi
    e2e_cleanup
}
trap finish EXIT

apt_quiet install "$DEB" || e2e_fail "apt-get install failed: $(cat "$E2E_TMP/apt.log")"
INSTALLED=1
dpkg -L tolbex >"$E2E_TMP/listed" || e2e_fail "dpkg does not know the package after the install"
OURS="/usr/games/tolbex /usr/lib/games/tolbex /usr/share/games/tolbex"
find $OURS | sort >"$E2E_TMP/ours-before"
touch "$E2E_TMP/marker"
sleep 1   # file times that differ from the marker's

DESKTOP=/usr/share/applications/tolbex.desktop
EXEC="$(sed -n 's/^Exec=//p' "$DESKTOP" | sed 's/ *%[fFuUick]//g')"
[ -n "$EXEC" ] || e2e_fail "no Exec line in $DESKTOP"
PLAYER="$E2E_TMP/player"
mkdir "$PLAYER"
e2e_log "starting '$EXEC' from / with HOME=$PLAYER"
: >"$E2E_TMP/game.log"
(cd / && exec env -i HOME="$PLAYER" PATH=/usr/local/bin:/usr/bin:/bin:/usr/games DISPLAY="$DISPLAY" \
    SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb sh -c "exec $EXEC" >>"$E2E_TMP/game.log" 2>&1) &
E2E_GAME_PID=$!

e2e_wait_window "Tolbex v1.3"
MAIN=$WIN
sleep 1.5
# Every message box of the game is captioned "Tolbex": a missing file at start-up would show one.
xdotool search --onlyvisible --name '^Tolbex$' >/dev/null 2>&1 && { e2e_shot error-box; e2e_fail "a message box opened at start-up"; }
e2e_find_board "$MAIN"
e2e_shot installed-from-root
colours=$(e2e_board_colours "$SHOT")
[ "$colours" -gt 50 ] || e2e_fail "the board shows only $colours colours: no dealt board"
e2e_log "the installed game shows a dealt board ($colours colours) and no message box"

e2e_make_save "$PLAYER/four.TXM" 4
e2e_load_game "$MAIN" "$PLAYER/four.TXM"
e2e_find_board "$MAIN"
e2e_take_pair_off

kill -TERM "$E2E_GAME_PID"
e2e_wait_game_exit 10

HOMEDIR="$PLAYER/.local/share/tolbex"
[ "$(stat -c %s "$PLAYER/.config/TOLBEX13.CFG" 2>/dev/null)" = 3640 ] ||
    e2e_fail "no 3640-byte settings file at $PLAYER/.config/TOLBEX13.CFG"
grep -qa "$HOMEDIR/LAYOUTS/" "$PLAYER/.config/TOLBEX13.CFG" ||
    e2e_fail "the settings do not name a layout in the player's home $HOMEDIR"
[ -s "$HOMEDIR/LAYOUTS/LAYOUT1.txs" ] && [ ! -L "$HOMEDIR/LAYOUTS/LAYOUT1.txs" ] ||
    e2e_fail "no scores file of the player's own at $HOMEDIR/LAYOUTS/LAYOUT1.txs"
[ -L "$HOMEDIR/LAYOUTS/LAYOUT1.TXL" ] || e2e_fail "the player's home holds no link to the installed layout"

find $OURS | sort >"$E2E_TMP/ours-after"
changed="$(find $OURS -newer "$E2E_TMP/marker"; diff "$E2E_TMP/ours-before" "$E2E_TMP/ours-after")"
[ -z "$changed" ] || e2e_fail "the game wrote among the installed files: $changed"
strays="$(find / -maxdepth 1 -type f -newer "$E2E_TMP/marker")"
[ -z "$strays" ] || e2e_fail "the game wrote into its start folder /: $strays"

apt_quiet remove tolbex || e2e_fail "apt-get remove failed: $(cat "$E2E_TMP/apt.log")"
INSTALLED=0
dpkg -s tolbex >/dev/null 2>&1 && e2e_fail "dpkg still lists tolbex after the removal"
while read -r path; do
    case "$path" in
        /usr/games/* | /usr/lib/games/tolbex* | /usr/share/games/tolbex* | /usr/share/doc/tolbex* | \
            /usr/share/applications/tolbex* | /usr/share/metainfo/* | /usr/share/man/man6/tolbex* | \
            */apps/tolbex.*)
            [ -e "$path" ] && e2e_fail "$path is still there after the removal" ;;
    esac
done <"$E2E_TMP/listed"
[ -s "$HOMEDIR/LAYOUTS/LAYOUT1.txs" ] && [ -s "$PLAYER/.config/TOLBEX13.CFG" ] ||
    e2e_fail "the removal took the player's files"
e2e_log "PASS"
