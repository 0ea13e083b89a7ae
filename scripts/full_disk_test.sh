#!/usr/bin/env bash
# Runs the headless tool on a real 300 KB filesystem until it is full: every
# file is then as it was or whole and new, no temporary file is left, and the
# tool fails with the system's message.
# Usage: full_disk_test.sh PENTALUX SOURCE_DIR
# Exits 77 (skipped) when no tmpfs can be mounted (it needs root).
set -u
tool=$1
src=$2
work=$(mktemp -d)
disk=$work/disk
mkdir -p "$disk"
if ! mount -t tmpfs -o size=300k tmpfs "$disk" 2>/dev/null; then
  echo "SKIPPED: cannot mount a 300 KB tmpfs here (needs root); the full-disk test did not run"
  rm -rf "$work"
  exit 77
fi
trap 'umount "$disk"; rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
data=$disk/data
mkdir "$data"
px() { "$tool" --data-dir "$data" "$@"; }
size() { stat -c %s "$1" 2>/dev/null || echo 0; }
# Leaves about $1 bytes free on the small disk.
leave_free() {
  rm -f "$disk/filler"
  dd if=/dev/zero of="$disk/filler" bs=4096 status=none 2>/dev/null
  local full
  full=$(size "$disk/filler")
  truncate -s $((full > $1 ? full - $1 : 0)) "$disk/filler"
}
no_temporary_files() {
  local left
  left=$(find "$disk" \( -name '*.tmp' -o -name '*.~tmp' \) | head -5)
  [ -z "$left" ] || fail "$1: temporary files left: $left"
}

cp "$src/demo/demo_config.ini" "$data/Pentalux5_5v36.ini"
px draws import "$src/demo/demo_draws_vantora5.csv" >/dev/null || fail "import on an empty disk"
printf 'FULL:0#ALL|TSF1#NUMS:100#LVA:1-4;1#SF:1| | | | | | |\r\n' >"$work/all.lsc"
cp "$data/Pentalux5_5v36.ldr" "$work/archive"

# The archive is rewritten whole: without room for a second copy it stays.
leave_free 8192
px draws add "1;2;3;4;5" >/dev/null 2>"$work/err"
code=$?
[ $code -eq 1 ] || fail "draws add on a full disk exits $code"
grep -q "Ошибка записи в файл тиражей!" "$work/err" || fail "draws add: no write error: $(cat "$work/err")"
cmp -s "$data/Pentalux5_5v36.ldr" "$work/archive" || fail "draws add: the archive changed"
px draws export "$disk/out.csv" >/dev/null 2>&1 && fail "draws export of 2000 draws fitted in 8 KB"
[ -e "$disk/out.csv" ] && fail "draws export left a partial file"
no_temporary_files "archive"

# Stakes go in whole until the disk is full, and then not at all.
made=0
for _ in $(seq 1 200); do
  before=$(size "$data/Pentalux5_5v36.lsk")
  cp "$data/Pentalux5_5v36.lsk" "$work/stakes" 2>/dev/null || : >"$work/stakes"
  if ! px stakes add "1;2;3;4;5" --draw 5000 >/dev/null 2>"$work/err"; then
    grep -q "Ошибка добавления записи в файл ставок!" "$work/err" || fail "stakes add: $(cat "$work/err")"
    cmp -s "$data/Pentalux5_5v36.lsk" "$work/stakes" || fail "a failed stakes add changed the stakes file"
    break
  fi
  made=$((made + 1))
  [ "$(size "$data/Pentalux5_5v36.lsk")" -eq $((before + 320)) ] || fail "stakes add grew the file by other than a record"
done
[ $made -gt 0 ] || fail "no stake fitted in 8 KB"
[ $made -lt 200 ] || fail "the disk never filled"
[ $(($(size "$data/Pentalux5_5v36.lsk") % 320)) -eq 0 ] || fail "torn stakes file"

# A run over many combinations stops at the first failed append.
leave_free 4096
cp "$data/Pentalux5_5v36.lsk" "$work/stakes"
px forecast "$work/all.lsc" >/dev/null 2>"$work/err"
code=$?
[ $code -eq 1 ] || fail "a run that filled the disk exits $code"
n=$(grep -c "Ошибка добавления записи в файл ставок!" "$work/err")
[ "$n" -eq 1 ] || fail "the run showed the append error $n times"
now=$(size "$data/Pentalux5_5v36.lsk")
[ $((now % 320)) -eq 0 ] || fail "the run tore the stakes file"
[ "$now" -gt "$(size "$work/stakes")" ] || fail "the run made no stake in 4 KB"
cmp -s -n "$(size "$work/stakes")" "$data/Pentalux5_5v36.lsk" "$work/stakes" || fail "the run changed stored stakes"
no_temporary_files "stakes"

# The full-set files: each is whole or absent.
leave_free 20000
px prefetch --all >/dev/null 2>"$work/err"
code=$?
[ $code -eq 1 ] || fail "prefetch on a full disk exits $code"
mkdir -p "$work/big"
cp "$data/Pentalux5_5v36.ini" "$data/Pentalux5_5v36.ldr" "$work/big/"
"$tool" --data-dir "$work/big" prefetch --all >/dev/null 2>&1 || fail "prefetch on a large disk"
for f in "$data"/Prefetchs/*.dfc; do
  [ -e "$f" ] || continue
  cmp -s "$f" "$work/big/Prefetchs/$(basename "$f")" || fail "partial full-set file $(basename "$f")"
done
no_temporary_files "full-set files"

if [ $failures -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "full disk: $made stakes fitted, every file whole"
