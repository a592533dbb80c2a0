#!/usr/bin/env bash
# Builds the Debian package velmora_VERSION_ARCH.deb with CPack in
# build/package (release flavour, no tests) and prints its path.
#   scripts/package.sh            then: sudo apt-get install ./build/package/velmora_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMORA_PACKAGE_BUILD:-$root/build/package}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF "${launcher[@]}" >/dev/null
fi
nice cmake --build "$build" --target velmora velmora-cli -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/velmora_*.deb
