#!/usr/bin/env bash
# Rewrites every expected listing from the current probe: review the diff!
# Only this ctest run sees GOLDEN_UPDATE; every other run compares.
set -euo pipefail
build=${1:-build}
GOLDEN_UPDATE=ON ctest --test-dir "$build" -R '^golden\.' --output-on-failure
