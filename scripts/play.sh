#!/usr/bin/env bash
# Builds Tolbex and starts it on the shipped home directory (data/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)" --target tolbex
cd data
exec ../build/tolbex
