#!/usr/bin/env bash
# Sets up the machine, checks the formatting, builds Velmora (normal, and
# with AddressSanitizer and UndefinedBehaviorSanitizer) with warnings as
# errors and runs every test in both builds; runs the tests that use threads
# under ThreadSanitizer; then the crash script and the fuzzers.
# VELMORA_SKIP_SETUP=1 skips the package check (nothing to install).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${VELMORA_SKIP_SETUP:-0}" != 1 ]; then
  "$root/scripts/setup.sh"
fi

echo "== commit subjects =="
"$root/scripts/check_commits.sh"

echo "== format check =="
(cd "$root" && find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run --Werror)

export VELMORA_WERROR=ON
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

echo "== ThreadSanitizer: the tests that use threads =="
threaded=(backends_tests net_tests cli_tests)
"$root/scripts/build.sh" tsan "${threaded[@]}"
for t in "${threaded[@]}"; do
  log="$root/build/tsan/$t.log"
  TSAN_OPTIONS="suppressions=$root/tests/tsan.supp halt_on_error=1 exitcode=66" \
    VELMORA_AUDIO_SINK="fakesink sync=true" "$root/build/tsan/bin/$t" > "$log" 2>&1 ||
    { cat "$log"; echo "$t failed under ThreadSanitizer" >&2; exit 1; }
  n=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' "$log")
  echo "$t: ${n:-0} passed"
  passed=$((passed + ${n:-0}))
done

echo "== crash test: saves killed at random moments =="
VELMORA_CLI=$root/build/release/bin/velmora-cli "$root/scripts/crash_test.sh" 20 5000

echo "== fuzzers: a few seconds each on their corpus =="
"$root/scripts/fuzz.sh" 4

# One closing line for every build (the crash script and the fuzzers have
# stopped the script above on any failure).
echo "all tests: $passed passed, 0 failed"
