#!/bin/sh
# The launcher, with a stand-in for the game that records where it runs: a first run makes the
# player's home with real folders and links to every installed file; scores and the player's own
# files stay through later runs; a layout added by a newer installed version is linked in, one
# the installed version dropped is unlinked; XDG_DATA_HOME wins over HOME; --help and --version
# make nothing; and the game's exit code comes back.
# Use: launcher_test.sh <source-dir>
set -u
src="$1"
tmp="$(mktemp -d "${TMPDIR:-/tmp}/tolbex-launcher.XXXXXX")" || exit 1
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

data="$tmp/installed"
mkdir -p "$data"
cp -r "$src/data/LAYOUTS" "$src/data/GRAPHICS" "$src/data/SOUNDS" "$src/data/Tolbex13.hlp" "$data/"
rm -f "$data"/LAYOUTS/*.txs
chmod -R a-w "$data"
cat >"$tmp/game" <<'GAME'
#!/bin/sh
pwd >"$RECORD"
echo "$*" >>"$RECORD"
[ "${1:-}" = --help ] && exit 0
echo scores >LAYOUTS/LAYOUT1.txs
exit "${GAME_EXIT:-0}"
GAME
chmod +x "$tmp/game"
sed -e "s|@TOLBEX_GAME@|$tmp/game|" -e "s|@TOLBEX_DATA@|$data|" "$src/packaging/tolbex.in" >"$tmp/tolbex"
export RECORD="$tmp/record"
run() { env -u XDG_DATA_HOME HOME="$tmp/player" sh "$tmp/tolbex" "$@"; }

mkdir "$tmp/player"
run --help >/dev/null || fail "--help failed"
[ ! -e "$tmp/player/.local" ] || fail "--help made the player's home"

run -platform xcb || fail "the first run failed"
home="$tmp/player/.local/share/tolbex"
[ "$(head -n1 "$RECORD")" = "$home" ] || fail "the game ran in $(head -n1 "$RECORD"), not $home"
[ "$(sed -n 2p "$RECORD")" = "-platform xcb" ] || fail "the arguments were not passed on: $(sed -n 2p "$RECORD")"
for dir in LAYOUTS GRAPHICS SOUNDS; do
    [ -d "$home/$dir" ] && [ ! -L "$home/$dir" ] || fail "$home/$dir is not a real folder"
done
for file in LAYOUTS/LAYOUT1.TXL LAYOUTS/CASTLE.TXL GRAPHICS/TOLBEX13.BMP SOUNDS/SOUND1.WAV Tolbex13.hlp; do
    [ -L "$home/$file" ] && cmp -s "$home/$file" "$data/$file" || fail "$home/$file does not lead to the installed file"
done
[ "$(cat "$home/LAYOUTS/LAYOUT1.txs")" = scores ] || fail "the scores file was not written in the player's home"

# The player's own files, a replaced shipped file and the scores stay; the installed set changes.
echo mine >"$home/LAYOUTS/MINE.TXL"
rm "$home/GRAPHICS/TOLBEX13.BMP"
echo "my sheet" >"$home/GRAPHICS/TOLBEX13.BMP"
chmod u+w "$data/LAYOUTS"
echo new >"$data/LAYOUTS/NEW.TXL"
rm "$data/LAYOUTS/BRIDGE.TXL"
chmod u-w "$data/LAYOUTS"
GAME_EXIT=3 run
[ $? -eq 3 ] || fail "the game's exit code was not passed back"
[ "$(cat "$home/LAYOUTS/MINE.TXL")" = mine ] || fail "the player's layout was touched"
[ "$(cat "$home/GRAPHICS/TOLBEX13.BMP")" = "my sheet" ] || fail "the player's tile picture was replaced"
[ -L "$home/LAYOUTS/NEW.TXL" ] || fail "the newly installed layout was not linked in"
[ ! -e "$home/LAYOUTS/BRIDGE.TXL" ] && [ ! -L "$home/LAYOUTS/BRIDGE.TXL" ] || fail "the link to a dropped layout stayed"
[ "$(cat "$home/LAYOUTS/LAYOUT1.txs")" = scores ] || fail "the scores file was lost"

# XDG_DATA_HOME names the place when set.
env XDG_DATA_HOME="$tmp/xdg" HOME="$tmp/player" sh "$tmp/tolbex" || fail "the run with XDG_DATA_HOME failed"
[ "$(head -n1 "$RECORD")" = "$tmp/xdg/tolbex" ] || fail "XDG_DATA_HOME was not used: $(head -n1 "$RECORD")"
[ -L "$tmp/xdg/tolbex/LAYOUTS/LAYOUT1.TXL" ] || fail "the home under XDG_DATA_HOME was not filled"

# Nothing was written among the installed files.
[ -z "$(find "$data" -name '*.txs')" ] || fail "a scores file was written among the installed files"
echo "PASS"
