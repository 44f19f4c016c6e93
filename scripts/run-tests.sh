#!/bin/sh
# Builds and runs the whole test suite twice: a normal build, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."

jobs=$(nproc)
run_suite() {
    build_dir=$1
    shift
    cmake -S . -B "$build_dir" -G Ninja "$@"
    cmake --build "$build_dir" --parallel "$jobs"
    ctest --test-dir "$build_dir" --output-on-failure --parallel "$jobs" --timeout 300
}

run_suite build
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
run_suite build-asan -DLARKSPUR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
