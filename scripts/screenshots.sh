#!/usr/bin/env bash
# Renders every window of the desktop program to PNG files, without a display, for a person
# to look at: at 100 % into OUTDIR (default build-tests/screenshots), at 200 % into OUTDIR/200.
# Usage: scripts/screenshots.sh [OUTDIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build-tests/screenshots}"

# The suite passes the program it has just built, so nothing is built twice.
program="${ORVANE_SCREENSHOTS_PROGRAM:-}"
if [ -z "$program" ]; then
    source "$root/scripts/lib/dependencies.sh"
    source "$root/scripts/lib/test_build.sh"
    orvane_install_packages "${ORVANE_PACKAGES[@]}"
    orvane_configure_test_build "$root" "$root/build-tests"
    cmake --build "$root/build-tests" -j "$(nproc)" --target orvane-screenshots
    program="$root/build-tests/tests/ui/orvane-screenshots"
fi

export QT_QPA_PLATFORM=offscreen
"$program" "$out"
QT_SCALE_FACTOR=2 "$program" "$out/200"
ls -1 "$out"/*.png "$out"/200/*.png
