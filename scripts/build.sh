#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh release|asan|tsan [TARGET...]
#   release  optimised, with the benchmark programs
#   asan     AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan     ThreadSanitizer (build the targets of the threaded tests only)
# VELMORA_WERROR=ON turns warnings into errors (the test command sets it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-release}
shift || true
case "$kind" in
  release) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BENCH=ON) ;;
  asan) flags=(-DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF) ;;
  tsan) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TSAN=ON -DVELMORA_BENCH=OFF) ;;
  *) echo "usage: scripts/build.sh release|asan|tsan [TARGET...]" >&2; exit 2 ;;
esac
flags+=(-DVELMORA_WERROR="${VELMORA_WERROR:-OFF}")
# ccache, where present, lets build trees share compiled objects.
if command -v ccache >/dev/null; then
  export CCACHE_NOHASHDIR=1 CCACHE_BASEDIR=$root
  flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -G Ninja -S "$root" -B "$root/build/$kind" "${flags[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$root/build/$kind" -j "$(nproc)" "${targets[@]}"
