#!/usr/bin/env bash
# Two shards of one schedule played at once through GNU parallel on this
# machine, then merged: every game of the schedule is there exactly once, and
# a merge that would count a game twice is refused.
# Usage: shards.sh MARROWLARK_TOURNAMENT SCRATCH_DIR
set -euo pipefail
tournament=$1
dir=$2
here=$(cd "$(dirname "$0")" && pwd)
games=12
rm -rf "$dir"
mkdir -p "$dir"

parallel --will-cite --halt now,fail=1 \
  "$tournament" --bot "stayer=$here/stayer.sh" --bot "leaver=$here/leaver.sh" \
  --games "$games" --jobs 2 --max-ticks 20 --shard {}/2 \
  --results "$dir/shard-{}.jsonl" --logs "$dir/logs-{}" ">" "$dir/report-{}.txt" ::: 1 2

"$tournament" --merge "$dir/shard-1.jsonl" "$dir/shard-2.jsonl" \
  --results "$dir/merged.jsonl" >"$dir/merged.txt"
played=$(grep -o '"game":[0-9]*' "$dir/merged.jsonl" | cut -d: -f2 | sort -n | tr '\n' ' ')
expected=$(seq 0 $((games - 1)) | tr '\n' ' ')
if [ "$played" != "$expected" ]; then
  echo "merged games: $played; expected: $expected" >&2
  exit 1
fi
grep -q "^Games: $games, " "$dir/merged.txt" || {
  cat "$dir/merged.txt" >&2
  exit 1
}

status=0
"$tournament" --merge "$dir/shard-1.jsonl" "$dir/shard-1.jsonl" 2>/dev/null || status=$?
[ "$status" -eq 2 ] || {
  echo "merging a shard with itself exited with $status, not 2" >&2
  exit 1
}
echo "shards merged: $games games, each once"
