#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build/fuzz, or $VELMORA_FUZZ_BUILD)
# and runs each for SECONDS on its corpus, one after the other, at low
# priority. New inputs go to build/fuzz/corpus/NAME (the corpus in fuzz/corpus
# stays small); a finding is saved under build/fuzz/findings/NAME and makes
# the script fail.
#
#   scripts/fuzz.sh SECONDS [NAME...]     e.g. scripts/fuzz.sh 600 fuzz_settings
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:?usage: scripts/fuzz.sh SECONDS [NAME...]}
shift
build=$(realpath -m "${VELMORA_FUZZ_BUILD:-$root/build/fuzz}")

all=(fuzz_data_file fuzz_settings fuzz_import fuzz_cp932 fuzz_html_page fuzz_musicbrainz fuzz_net_answer)
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  names=("${all[@]}")
fi

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_NOHASHDIR=1 CCACHE_BASEDIR=$root
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  CC=clang CXX=clang++ cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF "${launcher[@]}" >/dev/null
fi
nice cmake --build "$build" --target "${names[@]}" -j"$(nproc)" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for name in "${names[@]}"; do
  corpus=$build/corpus/$name
  findings=$build/findings/$name
  mkdir -p "$corpus" "$findings"
  log=$build/findings/$name.log
  echo "== $name: ${seconds}s"
  if nice -n 10 "$build/bin/$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$root/fuzz/corpus/${name#fuzz_}" \
      >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$log" | tail -2 || true
  else
    failed=1
    echo "$name: FINDING (see $log and $findings)"
    grep -E "property broken|ERROR: |SUMMARY" "$log" | head -5 || true
  fi
done
exit $failed
