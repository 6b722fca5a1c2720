#!/usr/bin/env bash
# Installs what is missing, builds the programs (Release) in build/, starts the desktop program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/dependencies.sh"
orvane_install_packages "${ORVANE_PACKAGES[@]}"

build="$root/build"
source "$root/scripts/lib/release_build.sh"
orvane_release_build "$root" "$build"

# Without a display the window has nowhere to go; the batch tool needs none.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display here (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset): use $build/cli/orvane-batch instead (try --help)."
    exit 1
fi
exec "$build/ui/orvane"
