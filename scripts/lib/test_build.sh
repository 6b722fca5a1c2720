# The build the tests and the screenshots come from: tests on, AddressSanitizer and UBSan.
# Sourced by scripts/test.sh and scripts/screenshots.sh.
orvane_configure_test_build() {
    local root="$1" build="$2"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_BUILD_TESTS=ON -DORVANE_SANITIZE=ON
}
