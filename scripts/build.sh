#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh release|asan
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-release}
case "$kind" in
  release) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) flags=(-DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON) ;;
  *) echo "usage: scripts/build.sh release|asan" >&2; exit 2 ;;
esac
# ccache, where present, lets build trees share compiled objects.
if command -v ccache >/dev/null; then
  export CCACHE_NOHASHDIR=1 CCACHE_BASEDIR=$root
  flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -G Ninja -S "$root" -B "$root/build/$kind" "${flags[@]}" >/dev/null
cmake --build "$root/build/$kind" -j "$(nproc)"
