#!/usr/bin/env bash
# Builds the engine, the headless tool and every test with AddressSanitizer
# and UndefinedBehaviorSanitizer into build-asan/ (or $ASAN_BUILD_DIR) and
# runs the tests through CTest. Any report fails its test: undefined
# behaviour aborts, and a leak or memory error makes the program exit
# non-zero. Leaks inside Qt's own libraries are suppressed (scripts/lsan.supp).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ASAN_BUILD_DIR:-$root/build-asan}"
# Line tables (-g1) are all the reports need, and build far quicker than full debug information.
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=0:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"

. "$root/scripts/compiler_cache.sh"
cmake -S "$root" -B "$build" "${cache_args[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DPENTALUX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target pentalux pentalux_tests pentalux_ui_tests -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
