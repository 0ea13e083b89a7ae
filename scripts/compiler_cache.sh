# Sourced by the build scripts: the CMake arguments that put ccache before
# the compiler when it is installed. The cache is keyed by paths relative to
# the checkout, so a fresh clone in another folder reuses what an earlier one
# compiled; CCACHE_DISABLE=1 turns it off.
cache_args=()
if command -v ccache >/dev/null 2>&1 && [ "${CCACHE_DISABLE:-0}" != 1 ]; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR=1
  cache_args=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
