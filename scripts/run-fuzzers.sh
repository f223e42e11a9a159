#!/usr/bin/env bash
# Runs each libFuzzer target of the fuzz tree on a copy of its committed seed corpus, for
# SECONDS in all (shared among the targets). A crash, leak or timeout fails the run.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fuzz_dir=${1:?usage: run-fuzzers.sh FUZZ_BUILD_DIR SECONDS}
seconds=${2:-60}

targets=()
for t in "$fuzz_dir"/fuzz/fuzz_*; do
  [ -x "$t" ] && targets+=("$t")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzzers: no fuzz target was built in $fuzz_dir" >&2
  exit 1
fi

per_target=$(( seconds / ${#targets[@]} ))
[ "$per_target" -lt 5 ] && per_target=5
for t in "${targets[@]}"; do
  name=$(basename "$t")
  seeds="$here/../fuzz/corpus/${name#fuzz_}"
  work="$fuzz_dir/corpus/${name#fuzz_}"
  mkdir -p "$work" "$fuzz_dir/artifacts"
  echo "run-fuzzers: $name for ${per_target} s"
  "$t" -max_total_time="$per_target" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$fuzz_dir/artifacts/$name-" "$work" "$seeds" 2>&1 | tail -n 12
done
