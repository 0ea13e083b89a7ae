#!/usr/bin/env bash
# Installs what is missing, builds, and starts the analyser on its demo data.
# The data folder is ./data (or $PENTALUX_DATA_DIR); the first run fills it
# from the demonstration archive in demo/.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

data="${PENTALUX_DATA_DIR:-$root/data}"
mkdir -p "$data"
cli="$root/build/cli/pentalux"
if [ ! -f "$data/Pentalux5_5v36.ldr" ]; then
  "$cli" --data-dir "$data" draws import "$root/demo/demo_draws_vantora5.csv"
  # The demonstration draws are invented: no download question at start.
  if [ ! -f "$data/Pentalux5_5v36.frm" ]; then
    printf '[TFormMain]\r\nDownloadDrawsOnStart=2\r\n' > "$data/Pentalux5_5v36.frm"
  fi
  # A prize table and a scenario to try "Прогноз" and "Тест" with.
  if [ ! -f "$data/Pentalux5_5v36.ini" ]; then
    cp "$root/demo/demo_config.ini" "$data/Pentalux5_5v36.ini"
  fi
  if [ ! -f "$data/Pentalux5_5v36.lss" ]; then
    cp "$root/demo/demo_scenario.lsc" "$data/Pentalux5_5v36.lss"
  fi
  # A 10-number system for the system game ("3 if 4").
  if [ ! -d "$data/Systems" ]; then
    "$cli" --data-dir "$data" systems import "$root/demo/demo_system_10.txt" --numbers 10 --id 1 >/dev/null
  fi
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Нет графического дисплея: вместо окна программы выводится сводка архива." >&2
  "$cli" --data-dir "$data" draws summary
  exit 0
fi
exec "$root/build/app/Pentalux5_5v36" --data-dir "$data"
