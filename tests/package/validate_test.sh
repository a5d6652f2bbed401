#!/usr/bin/env bash
# The desktop entry, the AppStream metadata and the manual page made by the build pass the
# validators the desktops and Debian use, and every icon size the install names is there at its
# size. Ends with 77 (skipped) when a validator is not installed (scripts/deps.sh installs them).
# Use: validate_test.sh <build>/packaging <source-dir>
set -uo pipefail
pkg="$1"
src="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
done

out="$(desktop-file-validate "$pkg/tolbex.desktop" 2>&1)" || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate has remarks: $out"
grep -qx 'Categories=Game;BoardGame;' "$pkg/tolbex.desktop" || fail "the desktop entry is not in Game;BoardGame;"

metainfo="$(ls "$pkg"/*.metainfo.xml)"
out="$(appstreamcli validate --pedantic --no-net --explain "$metainfo" 2>&1)" || fail "appstreamcli validate: $out"
grep -q '<image>https://' "$metainfo" || fail "the metainfo names no screenshot"
grep -q '<launchable type="desktop-id">tolbex.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch tolbex.desktop"

warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$pkg/tolbex.6" 2>&1 >/dev/null)"
[ -z "$warnings" ] || fail "man reports: $warnings"
page="$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$pkg/tolbex.6" 2>/dev/null)"
for part in NAME SYNOPSIS OPTIONS FILES TOLBEX13.CFG --version; do
    grep -q -- "$part" <<<"$page" || fail "the manual page lacks '$part'"
done

for size in 16 22 24 32 48 64 128 256; do
    png="$src/packaging/icons/tolbex-$size.png"
    [ "$(file -b "$png" | grep -o '[0-9]* x [0-9]*')" = "$size x $size" ] ||
        fail "$png is not a $size x $size picture: $(file -b "$png")"
done
echo "PASS"
