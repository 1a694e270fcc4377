#!/usr/bin/env bash
# Rewrites every expected listing from the current probe: review the diff!
set -euo pipefail
build=${1:-build}
GOLDEN_UPDATE=ON cmake "$build" >/dev/null
ctest --test-dir "$build" -R '^golden\.' --output-on-failure
cmake "$build" >/dev/null
