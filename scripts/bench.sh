#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks (Release, build-bench/) and prints one
# table of medians: the reader beside FreeXL, the .csv and .xlsx readers (the latter beside
# openpyxl in read-only mode), the analyze path and the analysis alone on
# the tests of bench/data, and orvane-batch analyze as a whole process.
# Extra arguments go to both benchmark programs (for example --benchmark_filter=Analyze).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/dependencies.sh"
orvane_install_packages "${ORVANE_PACKAGES[@]}" libfreexl-dev python3 python3-openpyxl

build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_BENCH=ON -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

results="$(mktemp -d)"
trap 'rm -rf "$results"' EXIT
/usr/bin/python3 "$root/bench/xlsx_side_by_side.py" "$build/bench" "$root"
cp "$build/bench/openpyxl.json" "$results/"
for program in workbook_bench data_file_bench analysis_bench; do
    "$build/bench/$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_out="$results/$program.json" --benchmark_out_format=json "$@" >/dev/null
done
python3 "$root/scripts/lib/bench_table.py" "$build/cli/orvane-batch" "$root/bench/data" "$results"/*.json
