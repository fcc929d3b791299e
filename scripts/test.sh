#!/usr/bin/env bash
# The whole test suite: a plain build, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the threaded tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
configure_and_build() {  # build-dir, cmake arguments..., [--targets target...]
  local dir=$1
  shift
  local args=() targets=()
  while (($#)); do
    if [ "$1" = --targets ]; then shift; targets=("$@"); break; fi
    args+=("$1")
    shift
  done
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
  if ((${#targets[@]})); then
    cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$jobs"
  fi
}

echo "== plain build"
configure_and_build build/release
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
configure_and_build build/asan -DNETSIM_SANITIZE=address,undefined
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE jvm

echo "== ThreadSanitizer (threaded tests)"
# Only the test programs with threads of their own (label "threaded") are built here.
configure_and_build build/tsan -DNETSIM_SANITIZE=thread --targets test_common test_kernel test_db test_host test_cli
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build/tsan --output-on-failure -j "$jobs" -L threaded -LE jvm

echo "All test builds passed."
