#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer; only the Qt-free libraries) in a build folder of their own
# and runs each for a number of seconds on a copy of its seed corpus, so that the corpus in
# the repository grows only by hand, with regression seeds. Any crash, sanitizer report,
# failed property, input slower than 10 s or memory use past 2 GB fails the run; the input
# is left in <build>/findings/<name>/ and the log in <build>/logs/<name>.log.
#
#   scripts/fuzz.sh [seconds per target, default 20] [target names, default all]
#
# QV_FUZZ_BUILD_DIR names the build folder (default build-fuzz/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
build="${QV_FUZZ_BUILD_DIR:-$root/build-fuzz}"

cmake -S "$root" -B "$build" -G Ninja -DQV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

mkdir -p "$build/findings" "$build/logs"
failed=()
ran=0
while IFS=$'\t' read -r name program corpus; do
  [ -n "$name" ] || continue
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  work="$build/corpus/$name"
  rm -rf "$work"
  mkdir -p "$work" "$build/findings/$name"
  cp -R "$corpus"/. "$work"/
  log="$build/logs/$name.log"
  echo "fuzz_$name: ${seconds} s"
  if "$program" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$build/findings/$name/" -print_final_stats=1 >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units" "$log" | sed "s/^/  /" || true
  else
    echo "fuzz_$name FAILED; the input is in $build/findings/$name/, the log says:"
    grep -v -E "^#[0-9]+" "$log" | tail -40
    failed+=("$name")
  fi
  ran=$((ran + 1))
done <"$build/fuzzers.txt"

if [ "$ran" -eq 0 ]; then
  echo "No fuzz target ran (names: $*)."
  exit 1
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing: $ran targets ran ${seconds} s each without a finding."
