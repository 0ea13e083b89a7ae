#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ (or $FUZZ_BUILD_DIR) and
# runs each for SECONDS (default 60), starting from the seed corpus in
# fuzz/corpus/<target> plus what earlier runs found (kept in the build
# folder). FUZZ_JOBS=2 runs two targets at a time; FUZZ_TARGETS="csv lcv"
# runs only those. A crash, leak, sanitizer report or hang fails the run; the
# input that caused it is left in the build folder's findings/. Every run
# without a finding adds a line to fuzz/campaign.tsv, which is tracked so the
# campaign's totals survive a fresh checkout; the totals per target are
# printed at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
jobs="${FUZZ_JOBS:-1}"
campaign="$root/fuzz/campaign.tsv"

. "$root/scripts/compiler_cache.sh"
# -O2 for throughput in a campaign; a run of a few seconds (the test command)
# spends far longer compiling than fuzzing, and -O1 compiles quicker. The
# frame pointers keep the sanitizers' stacks whole.
opt=-O2
[ "$seconds" -ge 60 ] || opt=-O1
CXX=clang++ cmake -S "$root" -B "$build" "${cache_args[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$opt -g -fno-omit-frame-pointer" \
  -DPENTALUX_BUILD_FUZZ=ON -DPENTALUX_BUILD_TESTS=OFF -DPENTALUX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_all -j "$(nproc)"

targets="${FUZZ_TARGETS:-$(sed -n 's/^set(FUZZ_TARGETS \(.*\))$/\1/p' "$root/fuzz/CMakeLists.txt")}"
mkdir -p "$build/findings" "$build/logs"

# The commit the targets were built from; "-dirty" when the tree differs.
commit="$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
if [ "$commit" != unknown ] && [ -n "$(git -C "$root" status --porcelain -- . ':(exclude)fuzz/campaign.tsv')" ]; then
  commit="$commit-dirty"
fi
[ -s "$campaign" ] || printf 'date\ttarget\texecutions\tseconds\tcommit\n' >"$campaign"

run_one() {
  local name="$1" seconds="$2" build="$3" root="$4" campaign="$5" commit="$6"
  local work="$build/corpus-work/$name" max_len
  # Longer inputs only repeat what shorter ones reach, at a cost that grows
  # with the length (faster than linearly for the INI readers, whose every
  # lookup walks the file): a KB or two of text, several binary records.
  case "$name" in
    archive) max_len=640 ;;    # 32 draws; the table is for up to 16
    ratings) max_len=1184 ;;   # 4 entries, each sorted by every column
    stakes) max_len=4096 ;;    # 12 records
    regular) max_len=2208 ;;   # 8 rules
    system) max_len=1600 ;;    # 100 lines
    catalogue) max_len=2048 ;; # a list of two rows
    # Each of the ~140 names is looked up through the whole file, and each
    # section of the window state is read key by key: half a KB holds a
    # few sections and a couple dozen keys, all their reading logic sees.
    names | form) max_len=512 ;;
    scenario_line) max_len=1024 ;;
    config | csv | prefetch | scenario_file) max_len=2048 ;;
    *) max_len=4096 ;;
  esac
  mkdir -p "$work"
  # -reload=0: no other process adds to this target's corpus while it runs.
  if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$max_len" -reload=0 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name-" "$work" "$root/fuzz/corpus/$name" >"$build/logs/$name.log" 2>&1; then
    local count ran
    count="$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$name.log")"
    count="${count:-0}"
    ran="$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$build/logs/$name.log")"
    ran="${ran:-$seconds}"
    # One short write per line, so two jobs never interleave.
    printf '%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$name" "$count" "$ran" "$commit" >>"$campaign"
    echo "fuzz_$name: $count executions in $ran s ($((count / (ran > 0 ? ran : 1)))/s), no finding"
  else
    echo "fuzz_$name: FINDING, see $build/logs/$name.log"
    tail -n 40 "$build/logs/$name.log"
    return 1
  fi
}
export -f run_one

status=0
# shellcheck disable=SC2086
printf '%s\n' $targets | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$build" "$root" "$campaign" "$commit" ||
  status=$?

echo "Executions per target, all runs without a finding (fuzz/campaign.tsv):"
awk -F'\t' 'NR > 1 { n[$2] += $3; s[$2] += $4 } END { for (t in n) printf "  fuzz_%s: %d in %d s\n", t, n[t], s[t] }' \
  "$campaign" | sort
exit "$status"
