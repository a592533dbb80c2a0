#!/usr/bin/env bash
# Sets up the machine, builds Velmora twice (normal, and with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

passed=0
for kind in release asan; do
  echo "== $kind build =="
  "$root/scripts/build.sh" "$kind"
  echo "== $kind tests =="
  log="$root/build/$kind/ctest-summary.log"
  (cd "$root/build/$kind" && ctest --output-on-failure --timeout 300 -j "$(nproc)") | tee "$log"
  passed=$((passed + $(sed -n 's/^100% tests passed, 0 tests failed out of \([0-9]*\)$/\1/p' "$log")))
done

echo "== crash test: saves killed at random moments =="
VELMORA_CLI=$root/build/release/bin/velmora-cli "$root/scripts/crash_test.sh" 20 5000

echo "== fuzzers: a few seconds each on their corpus =="
"$root/scripts/fuzz.sh" 4

# One closing line for both builds (the crash script and the fuzzers have
# stopped the script above on any failure).
echo "all tests: $passed passed, 0 failed"
