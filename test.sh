#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then
# again with the sanitizers (scripts/sanitize.sh), then every fuzz target for a
# few seconds (scripts/fuzz.sh). Any failure or finding fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
(cd "${BUILD_DIR:-$root/build}" && ctest --output-on-failure -j "$(nproc)")
"$root/scripts/sanitize.sh"
"$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-5}"
