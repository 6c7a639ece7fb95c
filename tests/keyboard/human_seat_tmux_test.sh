#!/usr/bin/env bash
# The keyboard seat in a real terminal: the arena runs with --human in a tmux
# pane (127.0.4.10 and .11), a passive client takes the other seat, keys sent
# with send-keys move the player and drop a bomb (seen in the recording), and
# after q and after Ctrl-C `stty -a` in the same pane shows the terminal back
# in its normal mode. Without a terminal --human exits with 2.
# Usage: human_seat_tmux_test.sh ARENA WORKDIR
set -euo pipefail
arena=$1
work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work"
server="marrowlark-test-$$"
client=""
cleanup() {
  tmux -L "$server" kill-server 2>/dev/null || true
  [ -z "$client" ] || kill "$client" 2>/dev/null || true
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Two closed rooms: the human (seat 0) spawns at 1,1 and the other seat at 7,3.
printf '%s\n' '+++++++++' '+...+...+' '+...+...+' '+...+...+' '+++++++++' >map.txt

# Waits up to ten seconds for a command to succeed.
wait_for() {
  for _ in $(seq 100); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}
shows() { tmux -L "$server" capture-pane -p -t "$1" | grep -q "$2"; }
at() { grep -q "\"id\":0,\"name\":\"tester\",\"wins\":0,\"x\":$1,\"y\":$2}" "$3.jsonl"; }

# One game in a fresh pane, the last key sent being $2 (q or C-c).
play() {
  local run=$1 last=$2 address=$3
  tmux -L "$server" new-session -d -s "$run" -x 100 -y 30 \
    "bash -c 'trap true INT; $arena --human --human-name tester --bind $address --players 2 \
      --map map.txt --rounds 1 --max-ticks 2000 --tick-ms 50 --record $run.jsonl; \
      echo \$? >$run.status; stty -a >$run.stty'; sleep 60"
  # The other seat: a client that names itself and only listens.
  wait_for shows "$run" Waiting || fail "$run: the arena did not start"
  bash -c "exec 3<>/dev/tcp/$address/54321; echo 'NAME idle' >&3; cat <&3 >/dev/null" &
  client=$!
  wait_for at 1 1 "$run" || fail "$run: the game did not start"
  tmux -L "$server" send-keys -t "$run" Right
  wait_for at 2 1 "$run" || fail "$run: the right arrow did not move the player"
  if [ "$last" = q ]; then
    tmux -L "$server" send-keys -t "$run" Down
    wait_for at 2 2 "$run" || fail "$run: the down arrow did not move the player"
    tmux -L "$server" send-keys -t "$run" d
    wait_for at 3 2 "$run" || fail "$run: d did not move the player"
    tmux -L "$server" send-keys -t "$run" Space
    wait_for grep -q '"bombs":\[{"owner":0' "$run.jsonl" || fail "$run: space dropped no bomb"
  fi
  tmux -L "$server" send-keys -t "$run" "$last"
  wait_for test -s "$run.stty" || fail "$run: the arena did not end after $last"
  wait "$client" 2>/dev/null || true
  client=""
}

play quit q 127.0.4.10
play interrupt C-c 127.0.4.11
[ "$(cat quit.status 2>/dev/null)" = 0 ] || fail "q: exit status $(cat quit.status 2>/dev/null)"
[ "$(cat interrupt.status 2>/dev/null)" = 130 ] || fail "Ctrl-C: exit status $(cat interrupt.status 2>/dev/null)"
for run in quit interrupt; do
  for flag in icanon echo; do
    grep -qw -- "-$flag" "$run.stty" && fail "$run: the terminal is left with -$flag"
    grep -qE "(^| )$flag( |;|$)" "$run.stty" || fail "$run: no $flag in stty -a"
  done
done

# No terminal: a clear message and status 2.
status=0
"$arena" --human --bind 127.0.4.12 </dev/null >notty.out 2>&1 || status=$?
[ "$status" = 2 ] || fail "without a terminal the status is $status, not 2"
grep -q "needs a terminal" notty.out || fail "without a terminal: $(cat notty.out)"

echo "$failures failures"
[ "$failures" = 0 ]
