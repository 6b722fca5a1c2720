# The build the programs are run and packaged from: Release, in build/, without the tests.
# Sourced by scripts/run.sh and scripts/package.sh.
orvane_release_build() {
    local root="$1" build="$2"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF
    cmake --build "$build" -j "$(nproc)"
}
