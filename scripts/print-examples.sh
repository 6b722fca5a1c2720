#!/usr/bin/env bash
# Writes the results printout and the graph printout of each examples/ workbook as PDF
# files (and one page image of each) into build-tests/printouts/, for a person to look at.
#     scripts/print-examples.sh [SCREEN_DPI]
# SCREEN_DPI (default 96) sets how far the graph is enlarged: 48 spreads it over two pages.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/dependencies.sh"
orvane_install_packages "${ORVANE_PACKAGES[@]}"

build="$root/build-tests"
source "$root/scripts/lib/test_build.sh"
orvane_configure_test_build "$root" "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target print_examples

out="$build/printouts"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
for settings in "$root"/examples/*.ini; do
    name="$(basename "$settings" .ini)"
    "$build/tests/ui/print_examples" "$root/examples/$name" "$out/$name" "${1:-96}"
    for pdf in "$out/$name"-results.pdf "$out/$name"-graph.pdf; do
        pdftoppm -png -r 60 "$pdf" "${pdf%.pdf}"
    done
done
echo "Printouts in $out"
