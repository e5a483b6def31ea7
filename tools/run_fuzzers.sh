#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds, each seeded with its
# corpus in tests/fuzz/corpus/<target>/ and keeping what it finds there.
set -eu
dir=$1; seconds=$2
status=0
for target in "$dir"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=tests/fuzz/corpus/${name#fuzz_}
  work=$dir/corpus/$name
  mkdir -p "$corpus" "$work" "$dir/artifacts"
  echo "== $name for ${seconds}s"
  "$target" "$work" "$corpus" -max_total_time="$seconds" -artifact_prefix="$dir/artifacts/$name-" \
    -print_final_stats=1 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done' || status=1
done
exit $status
