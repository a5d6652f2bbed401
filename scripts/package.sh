#!/usr/bin/env bash
# Builds the Debian package build-package/tolbex_<version>_amd64.deb (a Release build) and checks
# it with lintian, which must report no error. With --test it then installs the package on this
# machine, plays it from its menu entry and removes it again (tests/package/install_test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --package

build=build-package
# Only the game, the generated files and the tool the install test uses are built: the package
# needs nothing else, and `cpack` then installs without building everything first.
# Debian's hardening flags (stack protector, fortified functions, full RELRO, bind now).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTOLBEX_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" --parallel "$(nproc)" --target tolbex tolbex_install_files tolbex_make_test_save
rm -f "$build"/tolbex_*.deb
(cd "$build" && cpack -G DEB)
deb="$(ls "$build"/tolbex_*_amd64.deb)"
echo "Built $deb"
dpkg-deb --field "$deb" Package Version Section Depends

report="$(lintian --no-tag-display-limit "$deb" 2>&1 || true)"
[ -n "$report" ] && echo "$report"
if grep -q '^E: ' <<<"$report"; then
    echo "lintian reports errors" >&2
    exit 1
fi

if [ "${1:-}" = "--test" ]; then
    E2E_SHOTS="${E2E_SHOTS:-$build/shots}" bash tests/package/install_test.sh "$deb" "$build" .
fi
