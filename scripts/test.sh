#!/usr/bin/env bash
# The whole test suite: a plain build, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the threaded tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
configure_and_build() {  # build-dir, extra cmake arguments...
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

echo "== plain build"
configure_and_build build/release
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
configure_and_build build/asan -DNETSIM_SANITIZE=address,undefined
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE jvm

echo "== ThreadSanitizer (threaded tests)"
configure_and_build build/tsan -DNETSIM_SANITIZE=thread
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build/tsan --output-on-failure -j "$jobs" -L threaded -LE jvm

echo "All test builds passed."
