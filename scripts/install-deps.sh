#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing.
#   scripts/install-deps.sh        everything the tests need (`make test`, CI)
#   scripts/install-deps.sh play   only what building the players and the
#                                  arena needs (`make play`, `make duel`)
set -euo pipefail

# Enough to build the bot, the arena, the tournament and the sparring partners.
packages=(
  cmake make g++ pkg-config
  nlohmann-json3-dev libcli11-dev
)
# The test suite, the benchmarks, the fuzzers, the Windows build and the
# replay page's browser tests.
tests=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  parallel
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix
  python3 chromium chromium-driver tmux
)
case ${1:-all} in
  play) ;;
  all) packages+=("${tests[@]}") ;;
  *)
    echo "usage: $0 [play]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
