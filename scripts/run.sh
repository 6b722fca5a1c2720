#!/usr/bin/env bash
# Installs what is missing, builds the programs (Release) in build/, starts the desktop program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/dependencies.sh"
orvane_install_packages "${ORVANE_PACKAGES[@]}"

build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

if [ -x "$build/ui/orvane" ]; then
    exec "$build/ui/orvane"
fi
echo "The desktop program is not built yet: only the command-line companion exists so far."
if [ -x "$build/cli/orvane-batch" ]; then
    echo "It is at $build/cli/orvane-batch (try: $build/cli/orvane-batch --help)."
fi
exit 1
