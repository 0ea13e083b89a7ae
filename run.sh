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
  # A demonstration catalogue of systems, so the tab "Системы" has a list at first start;
  # its systems belong to the demonstration author, not to the user.
  if [ ! -f "$data/Systems/catalogue.db" ]; then
    demo_dir="$(mktemp -d)"
    "$cli" --data-dir "$demo_dir" systems identity --name "Демонстрация" --mail "demo@pentalux.example" >/dev/null
    # System 1: a 10-number system for the system game ("3 if 4"), downloaded below.
    "$cli" --data-dir "$demo_dir" systems publish "$root/demo/demo_system_10.txt" --numbers 10 \
      --title "Демонстрационная система на 10 чисел" >/dev/null
    for wheel in 6:2:5 6:3:5 7:3:5 8:3:5 8:3:4 9:3:5 9:2:3 10:3:5 10:4:5 11:3:5 12:3:5 12:2:4; do
      IFS=: read -r k t m <<<"$wheel"
      "$cli" --data-dir "$demo_dir" systems build --numbers "$k" --guarantee "$t:$m" --publish >/dev/null
    done
    mkdir -p "$data/Systems"
    cp "$demo_dir/Systems/catalogue.db" "$data/Systems/catalogue.db"
    rm -rf "$demo_dir"
    "$cli" --data-dir "$data" systems download 1 >/dev/null
  fi
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Нет графического дисплея: вместо окна программы выводится сводка архива." >&2
  "$cli" --data-dir "$data" draws summary
  exit 0
fi
exec "$root/build/app/Pentalux5_5v36" --data-dir "$data"
