#!/usr/bin/env bash
# Configures and builds in Release into build/ (or $BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
. "$root/scripts/compiler_cache.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "${cache_args[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
