#!/usr/bin/env bash
# Games per second of marrowlark-tournament with K jobs at once, against one
# arena playing the same number of rounds in a row at the same tick: two
# copies of our bot on 15x13 at 5 ms a tick (the tournament's default).
# Usage: bench/tournament_throughput.sh [BUILD_DIR] [GAMES] [K...]
# The target is a rate with K jobs of at least 0.7 x K times the single arena's.
# The two play different maps (the arena's rounds draw theirs one after
# another), so each line also gives the mean ticks a game lasted and the
# ticks per second, which compare the two whatever the games' lengths.
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

# Mean length in ticks of the games in a results file: a game lasts until
# its last death, or to --max-ticks (400) when two or more survive.
mean_ticks() {
  grep -v '"tournament"' "$1" | awk '{
    n = split($0, parts, "\"tick\":"); last = 0
    for (i = 2; i <= n; i++) { t = parts[i] + 0; if (t > last) last = t }
    if (gsub(/"survived"/, "&") >= 2) last = 400
    sum += last; games++ } END { print sum / games }'
}

single=$(seconds "$build/marrowlark-arena" --rounds "$games" --players 2 --tick-ms 5 \
  --view none --bind 127.0.3.250 --logs "$work/arena-logs" --results "$work/arena.jsonl" \
  --spawn "$build/marrowlark" --spawn "$build/marrowlark")
base=$(awk -v g="$games" -v t="$single" 'BEGIN { print g / t }')
ticks=$(mean_ticks "$work/arena.jsonl")
printf 'one arena, %d rounds in a row: %.1f s, %.2f games/s, %.0f ticks a game, %.0f ticks/s\n' \
  "$games" "$single" "$base" "$ticks" "$(awk -v r="$base" -v t="$ticks" 'BEGIN { print r * t }')"
for k in "${jobs[@]}"; do
  t=$(seconds "$build/marrowlark-tournament" --bot "a=$build/marrowlark" \
    --bot "b=$build/marrowlark" --games "$games" --jobs "$k" --logs "$work/logs-$k" \
    --results "$work/tournament-$k.jsonl")
  rate=$(awk -v g="$games" -v t="$t" 'BEGIN { print g / t }')
  ticks=$(mean_ticks "$work/tournament-$k.jsonl")
  printf 'tournament, --jobs %d: %.1f s, %.2f games/s = %.2f x K x the single arena (target 0.70), %.0f ticks a game, %.0f ticks/s\n' \
    "$k" "$t" "$rate" "$(awk -v r="$rate" -v k="$k" -v b="$base" 'BEGIN { print r / (k * b) }')" \
    "$ticks" "$(awk -v r="$rate" -v t="$ticks" 'BEGIN { print r * t }')"
done
