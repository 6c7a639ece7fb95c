#!/usr/bin/env bash
# A scripted player for the tournament tests, started like a bot with the
# game's four address numbers: it names itself and dies by SIGSEGV as soon
# as the game begins.
set -u
exec 3<>"/dev/tcp/$1.$2.$3.$4/54321" || exit 1
echo "NAME crasher" >&3
IFS= read -r -t 30 line <&3
kill -SEGV $$
