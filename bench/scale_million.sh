#!/usr/bin/env bash
# bench/scale.py at 1,000,000 albums: generating the two catalogues (about
# 1.3 and 1.7 GB, cached in bench/.cache/) takes several minutes, each run
# of the window a few seconds more. See bench/README.md ("Scale").
#
#   bench/scale_million.sh [BUILD_DIR]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
exec python3 "$HERE/scale.py" --albums 1000000 --build "${1:-$(dirname "$HERE")/build/release}" \
    --runs "${BENCH_RUNS:-2}"
