#!/usr/bin/env bash
# The test runs, from a fresh machine; each stage installs what is missing
# first. With no argument, the normal stage (what `make test` runs):
#   normal    build/ with warnings as errors, every test under CTest
#   sanitize  build-asan/ with ASan + UBSan, every test under CTest
#   fuzz      build-fuzz/ with clang: corpus replay, then FUZZ_SECONDS (60) a target
#   windows   build-mingw/: the bot cross-compiled and linked with MinGW-w64
#   all       the four in this order (what .ci/run runs)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}

run_ctest() {
  ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 300
}

normal() {
  cmake -S . -B build -DMARROWLARK_WERROR=ON
  cmake --build build -j "$jobs"
  run_ctest build
}

sanitize() {
  cmake -S . -B build-asan -DMARROWLARK_WERROR=ON -DMARROWLARK_SANITIZE=ON
  cmake --build build-asan -j "$jobs"
  # The bot processes the tests start inherit these too.
  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1 \
    UBSAN_OPTIONS=print_stacktrace=1 run_ctest build-asan
}

fuzz() {
  JOBS=$jobs fuzz/run.sh "${FUZZ_SECONDS:-60}"
}

windows() {
  cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DMARROWLARK_TESTS=OFF -DMARROWLARK_ARENA=OFF -DMARROWLARK_WERROR=ON
  cmake --build build-mingw -j "$jobs" --target marrowlark
  # The Windows Sockets side of the platform file is the one linked in.
  local imports
  imports=$(x86_64-w64-mingw32-objdump -p build-mingw/marrowlark.exe)
  for symbol in WSAStartup WSACleanup closesocket; do
    grep -qw "$symbol" <<<"$imports" || {
      echo "marrowlark.exe does not import $symbol" >&2
      exit 1
    }
  done
}

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(normal)
[ "${stages[*]}" != all ] || stages=(normal sanitize fuzz windows)

for stage in "${stages[@]}"; do
  case $stage in
    normal | sanitize | fuzz | windows) ;;
    *)
      echo "unknown stage: $stage (normal, sanitize, fuzz, windows, all)" >&2
      exit 2
      ;;
  esac
done

scripts/install-deps.sh
for stage in "${stages[@]}"; do
  started=$SECONDS
  "$stage"
  echo "== $stage passed in $((SECONDS - started))s"
done
