#!/usr/bin/env bash
# Runs the same fixed series of headless commands with two builds of the tool,
# each on its own fresh copy of the demo data, and compares everything they
# print, their exit codes and the data files they leave. A change meant to
# keep behaviour must leave no difference.
#
#   scripts/compare_tool.sh OLD_PENTALUX NEW_PENTALUX [WORK_DIR]
#
# Exit 0 when both runs are identical; 1 with a diff otherwise.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
old="$(realpath "$1")"
new="$(realpath "$2")"
work="${3:-$(mktemp -d)}"
mkdir -p "$work"

run_series() {
  local tool="$1" out="$2"
  local data="$out/data"
  rm -rf "$out"
  mkdir -p "$data"
  cp "$root/demo/demo_config.ini" "$data/Pentalux5_5v36.ini"
  cp "$root/demo/demo_scenario.lsc" "$out/scenario.lsc"
  printf '[TFormMain]\r\nDownloadDrawsOnStart=2\r\n' >"$data/Pentalux5_5v36.frm"
  local n=0
  step() {
    n=$((n + 1))
    local rc=0
    (cd "$out" && "$tool" --data-dir data "$@") >"$out/$(printf %03d $n).out" 2>"$out/$(printf %03d $n).err" || rc=$?
    printf '%s\t%s\n' "$rc" "$*" >>"$out/codes.txt"
  }
  step draws import "$root/demo/demo_draws_vantora5.csv"
  step draws list
  step draws list --sorted
  step draws summary
  step draws info 120
  step draws info 150 --sorted
  step config show
  step methods
  step methods --all
  # Every method's table, plain and sorted by a numeric column.
  local codes
  codes="$("$tool" --data-dir "$data" methods --all | tail -n +2 | cut -f2)"
  for code in $codes; do
    step stats "$code" --len 60 --offset 3
  done
  step prefetch
  # Every method with a full-set file, compared with it.
  local full
  full="$("$tool" --data-dir "$data" methods --all | awk -F'\t' 'NR > 1 && $6 == "да" { print $2 }')"
  for code in $full; do
    step stats "$code" --len 100 --prefetch --sort 4:desc
    step stats "$code" --len 30 --sorted --sort 8
  done
  step stats NOPE
  step combs --keep NUMS:100:7 --remove "EVEN:50:3:2" --exclude-last 10
  step combs --keep "SUMS:200:90;91;92;93" --undo --remove NUMS:30:1 --list --out list.lcv
  step combs --from list.lcv --keep EVEN:40:2:3 --list
  step scenario show scenario.lsc
  step stakes add "3;7;12;25;36" --comment "Проверка" --draws 2
  step stakes add "1,2,3,4,5" --draw 100
  step stakes list
  step stakes check
  step forecast scenario.lsc --seed 7
  step forecast scenario.lsc --offset 5 --seed 7
  step test scenario.lsc --count 12 --seed 11
  step test scenario.lsc --count 0
  step ratings
  step ratings --mode 1
  step ratings --mode 2 --export ratings.csv
  step stakes list
  step stakes delete --rows 1-3
  step stakes delete --where 1:0
  step stakes list
  step scenario normalize scenario.lsc
  step draws delete 200
  step draws summary
  # The files left behind, without the run logs' clock-named ones.
  (cd "$data" && find . -type f ! -name 'ScriptLog_*' ! -name '*.bak' | sort | while read -r f; do
     printf '%s  %s\n' "$(sha256sum <"$f" | cut -d' ' -f1)" "$f"
   done) >"$out/files.txt"
  rm -rf "$data"
}

run_series "$old" "$work/old"
run_series "$new" "$work/new"
if diff -r "$work/old" "$work/new" >"$work/diff.txt"; then
  echo "Тождественно: $(wc -l <"$work/old/codes.txt") команд, одинаковые выводы, коды и файлы."
  exit 0
fi
echo "Различия (первые строки, полностью в $work/diff.txt):"
head -n 60 "$work/diff.txt"
exit 1
