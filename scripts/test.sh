#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UBSan, runs the tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/dependencies.sh"
source "$root/scripts/lib/test_build.sh"
orvane_install_packages "${ORVANE_PACKAGES[@]}"
orvane_ensure_test_locale

build="$root/build-tests"
orvane_configure_test_build "$root" "$build"
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
