#!/usr/bin/env bash
# Games per second of marrowlark-tournament with K jobs at once, against one
# arena playing the same number of rounds in a row at the same tick: two
# copies of our bot on 15x13 at 5 ms a tick (the tournament's default).
# Usage: bench/tournament_throughput.sh [BUILD_DIR] [GAMES] [K...]
# The target is a rate with K jobs of at least 0.7 x K times the single arena's.
set -euo pipefail
build=${1:-build}
games=${2:-16}
shift $(($# < 2 ? $# : 2))
jobs=("$@")
[ ${#jobs[@]} -gt 0 ] || jobs=(1 2 4 8)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>"$work/err" || {
    cat "$work/err" >&2
    exit 1
  }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

single=$(seconds "$build/marrowlark-arena" --rounds "$games" --players 2 --tick-ms 5 \
  --view none --bind 127.0.3.250 --logs "$work/arena-logs" \
  --spawn "$build/marrowlark" --spawn "$build/marrowlark")
base=$(awk -v g="$games" -v t="$single" 'BEGIN { print g / t }')
printf 'one arena, %d rounds in a row: %.1f s, %.2f games/s\n' "$games" "$single" "$base"
for k in "${jobs[@]}"; do
  t=$(seconds "$build/marrowlark-tournament" --bot "a=$build/marrowlark" \
    --bot "b=$build/marrowlark" --games "$games" --jobs "$k" --logs "$work/logs-$k")
  rate=$(awk -v g="$games" -v t="$t" 'BEGIN { print g / t }')
  printf 'tournament, --jobs %d: %.1f s, %.2f games/s = %.2f x K x the single arena (target 0.70)\n' \
    "$k" "$t" "$rate" "$(awk -v r="$rate" -v k="$k" -v b="$base" 'BEGIN { print r / (k * b) }')"
done
