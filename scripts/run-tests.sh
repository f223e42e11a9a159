#!/usr/bin/env bash
# Runs every test: the native ctest tree, the Windows tree under Wine on a private display,
# and the fuzzers for a while. Runs all three even when one fails; exits non-zero when
# anything failed or when a tree ran no test.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:-build}
fuzz_seconds=${2:-60}
failed=()

echo "=== native tests"
ctest --test-dir "$build/native" --output-on-failure --no-tests=error -j 2 || failed+=(native)

echo "=== Windows tests under Wine"
"$here/with-display.sh" ctest --test-dir "$build/windows" --output-on-failure --no-tests=error \
  || failed+=(windows)

echo "=== fuzzers (${fuzz_seconds} s)"
"$here/run-fuzzers.sh" "$build/fuzz" "$fuzz_seconds" || failed+=(fuzz)

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all tests passed"
