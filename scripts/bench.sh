#!/usr/bin/env bash
# Builds the benchmarks when needed and runs each of them; extra arguments go to the page
# benchmark. The desktop benchmark takes about three minutes (two idle minutes in the tray),
# the soak about one, the memory benchmark about eleven (twenty checks, 30 s apart), and the
# comparison with urlwatch about three (it needs the package urlwatch). To compare two builds
# in one run, name the other program in $GRIDVANE for bench_memory, or give it to
# bench_check_cpu as its second argument.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build --target benchmarks --parallel "$(nproc)"

runs=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@")
build/bench/bench_page_text "${runs[@]}"
build/bench/bench_idle
build/bench/bench_soak
build/bench/bench_memory
build/bench/bench_check_cpu
