#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address + undefined-behaviour checks) in
# build-fuzz/ and runs each from its seed corpus in fuzz/corpus/ for the given time.
# A crash fails the run; the input that caused it is printed (hex) and left in
# build-fuzz/findings/.
#
#   scripts/fuzz.sh [seconds-per-target] [target...]     (default 20 s, every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
build=build-fuzz
jobs=${FK_FUZZ_BUILD_JOBS:-2}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DFK_FUZZ=ON -DFK_BUILD_UI=OFF \
  -DFK_BUILD_BENCH=OFF >/dev/null
nice cmake --build "$build" -j "$jobs" --target fuzz_targets

targets=("$@")
if ((${#targets[@]} == 0)); then
  for f in fuzz/corpus/*/; do targets+=("$(basename "$f")"); done
fi

findings="$build/findings"
mkdir -p "$findings"
# The datagram target keeps a store and the file targets write profile files: on a
# disk-backed /tmp their renames and locks cost more than the parsing under test.
tmp_root=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && tmp_root=/dev/shm
scratch=$(mktemp -d "$tmp_root/fk-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failed=0
for target in "${targets[@]}"; do
  # New inputs go to a scratch copy: the corpus in the tree stays the seeds.
  work="$scratch/$target"
  mkdir -p "$work"
  log="$findings/$target.log"
  rm -f "$findings/$target-"*
  echo "== fuzz $target for ${seconds}s"
  if ASAN_OPTIONS=max_malloc_fill_size=0:quarantine_size_mb=16 TMPDIR="$scratch" nice "$build/fuzz/$target" "$work" "fuzz/corpus/$target" \
      -max_total_time="$seconds" -artifact_prefix="$findings/$target-" -print_final_stats=1 \
      >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$log" | tail -2 || true
  else
    failed=1
    echo "!! $target failed; its log:"
    tail -n 60 "$log"
    for artifact in "$findings/$target-"*; do
      [ -e "$artifact" ] || continue
      echo "!! reproducer $artifact (replay: $build/fuzz/$target $artifact):"
      od -An -tx1 -v "$artifact" | head -n 40
    done
  fi
done
exit "$failed"
