#!/usr/bin/env bash
# Builds the Debian package velmora_VERSION_ARCH.deb with CPack in
# build/package (release flavour, no tests) and prints its path.
# Checks it with lintian when installed.
#   scripts/package.sh            then: sudo apt-get install ./build/package/velmora_*.deb
#   cmake -DVELMORA_MAINTAINER="Name <address>" -DVELMORA_HOMEPAGE=URL ...
#                                 names the maintainer and the home page
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
deb=$(ls "$build"/velmora_*.deb)
# Debian's checks: an error stops the script.
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >&2
fi
echo "$deb"
