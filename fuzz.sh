#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60).
#   ./fuzz.sh [seconds] [target ...]
# New inputs are kept in build/fuzz/work/<name>; a crash, hang or leak stops
# the run and leaves its input in fuzz/artifacts/ (add it to fuzz/corpus/<name>
# once mended, so the test suite replays it from then on).
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh clang libclang-rt-14-dev

seconds=${1:-60}
shift || true

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPARCORA_FUZZ=ON -DPARCORA_BUILD_TESTS=OFF -DPARCORA_BUILD_BENCH=OFF -DPARCORA_BUILD_GUI=OFF >/dev/null

targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name#fuzz_}")
  done
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p fuzz/artifacts
for name in "${targets[@]}"; do
  work="$build/work/$name"
  mkdir -p "$work"
  echo "== fuzz_$name for ${seconds}s"
  "$build/fuzz/fuzz_$name" "$work" "fuzz/corpus/$name" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix=fuzz/artifacts/"$name"- -print_final_stats=1 2>&1 |
    grep -E '^(#[0-9]+.*(DONE|pulse)|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' || true
  if ls fuzz/artifacts/"$name"-* >/dev/null 2>&1; then
    echo "fuzz_$name: artifact left in fuzz/artifacts" >&2
    exit 1
  fi
done
