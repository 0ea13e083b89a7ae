#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ (or $FUZZ_BUILD_DIR) and
# runs each for SECONDS (default 60), starting from the seed corpus in
# fuzz/corpus/<target> plus what earlier runs found (kept in the build
# folder). FUZZ_JOBS=2 runs two targets at a time; FUZZ_TARGETS="csv lcv"
# runs only those. A crash, leak, sanitizer report or hang fails the run; the
# input that caused it is left in the build folder's findings/. The totals of
# every run so far, per target, are printed at the end (from executions.txt).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
jobs="${FUZZ_JOBS:-1}"
# The stakes target writes a scratch file per input: keep it in memory.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DPENTALUX_BUILD_FUZZ=ON -DPENTALUX_BUILD_TESTS=OFF -DPENTALUX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_all -j "$(nproc)"

targets="${FUZZ_TARGETS:-$(sed -n 's/^set(FUZZ_TARGETS \(.*\))$/\1/p' "$root/fuzz/CMakeLists.txt")}"
mkdir -p "$build/findings" "$build/logs"

run_one() {
  local name="$1" seconds="$2" build="$3" root="$4"
  local work="$build/corpus-work/$name"
  mkdir -p "$work"
  if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name-" "$work" "$root/fuzz/corpus/$name" >"$build/logs/$name.log" 2>&1; then
    local count
    count="$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$name.log")"
    echo "$name ${count:-0}" >>"$build/executions.txt"
    echo "fuzz_$name: ${count:-0} executions, no finding"
  else
    echo "fuzz_$name: FINDING, see $build/logs/$name.log"
    tail -n 40 "$build/logs/$name.log"
    return 1
  fi
}
export -f run_one

# shellcheck disable=SC2086
printf '%s\n' $targets | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$build" "$root"

echo "Executions so far, all runs:"
awk '{ total[$1] += $2 } END { for (t in total) printf "  fuzz_%s: %d\n", t, total[t] }' "$build/executions.txt" | sort
