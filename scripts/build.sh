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
cmake -G Ninja -S "$root" -B "$root/build/$kind" "${flags[@]}" >/dev/null
cmake --build "$root/build/$kind" -j "$(nproc)"
