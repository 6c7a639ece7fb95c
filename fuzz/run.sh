#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan), replays every
# committed corpus, then fuzzes each target for a bounded time. Any crash,
# leak, timeout or broken invariant fails the run; the input that caused it
# is written to fuzz/artifacts/.
#
#   fuzz/run.sh [SECONDS] [TARGET...]   SECONDS per target (default 60),
#                                       TARGET e.g. reader (default: all)
# Extra libFuzzer flags go in FUZZ_FLAGS, e.g. FUZZ_FLAGS="-max_len=70000".
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
build=${FUZZ_BUILD:-build-fuzz}
jobs=${JOBS:-2}

CXX=clang++ cmake -S . -B "$build" -DMARROWLARK_FUZZ=ON -DMARROWLARK_TESTS=OFF \
  -DMARROWLARK_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do
    targets+=("$(basename "$dir")")
  done
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]/%/_fuzz}"

mkdir -p fuzz/artifacts
for target in "${targets[@]}"; do
  binary="$build/fuzz/${target}_fuzz"
  seeds="fuzz/corpus/$target"
  # New inputs go to a scratch corpus, so the committed one stays small.
  work="$build/corpus/$target"
  mkdir -p "$work"
  flags=(-timeout=10 -rss_limit_mb=2048 -artifact_prefix="fuzz/artifacts/$target-")
  [ ! -f "fuzz/$target.dict" ] || flags+=(-dict="fuzz/$target.dict")
  echo "== $target: replaying $seeds"
  "$binary" "${flags[@]}" -runs=0 "$seeds"
  echo "== $target: fuzzing for ${seconds}s (log: $build/$target.log)"
  # shellcheck disable=SC2086
  if ! "$binary" "${flags[@]}" -max_total_time="$seconds" -print_final_stats=1 ${FUZZ_FLAGS:-} \
    "$work" "$seeds" >"$build/$target.log" 2>&1; then
    tail -n 60 "$build/$target.log" >&2
    echo "== $target: FAILED, the input is in fuzz/artifacts/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log"
done
