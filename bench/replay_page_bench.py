#!/usr/bin/env python3
"""How the replay page copes with a big game: records one with the real arena
and real bots (--tick-ms 0 on 127.0.4.2), writes its page with and without the
bots' logs, and times in headless chromium: opening, stepping, jumping with the
slider, and playing: the page without the logs, then with them, first with no
seat picked, then with the decision panel of the first player alive at the end.

Usage: bench/replay_page_bench.py [SIZE] [PLAYERS] [TICKS]   (default 255 8 6000)
       bench/replay_page_bench.py --busy [SIZE] [PLAYERS] [TICKS]
       bench/replay_page_bench.py --recording FILE   (a game recorded before, with its logs)
--busy writes a generated recording instead, busier than bots play: every
player moves every tick, each has a bomb out and a 9-cell blast, and 40 cells
turn to floor or block every tick. Run from the source folder after building build/.
"""
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "replay_page"))
from webdriver import Browser  # noqa: E402

busy = "--busy" in sys.argv
given = sys.argv[sys.argv.index("--recording") + 1] if "--recording" in sys.argv else None
args = [a for a in sys.argv[1:] if a not in ("--busy", "--recording", given)]
size, players, ticks = (int(a) for a in (args + ["255", "8", "6000"][len(args):]))
work = tempfile.mkdtemp(prefix="replay-page-bench-")
record, page = given or os.path.join(work, "game.jsonl"), os.path.join(work, "game.html")


def busy_game():
    rng = random.Random(1)
    rows = [["+" if x in (0, size - 1) or y in (0, size - 1) or (x % 2 == 0 and y % 2 == 0)
             else "#" if rng.random() < 0.6 else "." for x in range(size)] for y in range(size)]
    at = [[rng.randrange(1, size - 1), rng.randrange(1, size - 1)] for _ in range(players)]
    with open(record, "w") as out:
        for tick in range(ticks + 1):
            for p in at:
                axis = rng.randrange(2)
                p[axis] = min(size - 2, max(1, p[axis] + rng.choice((-1, 1))))
            for _ in range(40):
                rows[rng.randrange(1, size - 1)][rng.randrange(1, size - 1)] = rng.choice(".#")
            out.write(json.dumps({
                "round": 1, "rounds": 1, "tick": tick, "map": ["".join(r) for r in rows],
                "players": [{"id": i, "name": f"p{i}", "x": x, "y": y, "alive": True, "wins": 0,
                             "command": ""} for i, (x, y) in enumerate(at)],
                "bombs": [{"owner": i, "x": x, "y": y, "timer": 1 + tick % 5}
                          for i, (x, y) in enumerate(at)],
                "blasts": [[x + d, y] for x, y in at for d in range(-4, 5) if 0 < x + d < size],
                "deaths": [], "chat": [], "round_over": tick == ticks, "winner": -1}) + "\n")


if busy:
    busy_game()
elif not given:
    argv = ["build/marrowlark-arena", "--bind", "127.0.4.2", "--view", "none", "--tick-ms", "0",
            "--players", str(players), "--size", f"{size}x{size}", "--rounds", "1",
            "--max-ticks", str(ticks), "--record", record, "--logs", os.path.join(work, "logs")]
    for _ in range(players):
        argv += ["--spawn", "build/marrowlark"]
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL)
bare = os.path.join(work, "bare.html")
subprocess.run(["build/marrowlark-arena", "--replay", record, "--html", bare, "--logs",
                os.path.join(work, "no-logs")], check=True, stdout=subprocess.DEVNULL,
               stderr=subprocess.DEVNULL)
started = time.monotonic()
subprocess.run(["build/marrowlark-arena", "--replay", record, "--html", page], check=True,
               stdout=subprocess.DEVNULL)
recorded = sum(1 for line in open(record) if line.startswith('{"blasts"'))
print(f"{'generated players' if busy else 'bots'}, {recorded} ticks recorded")
print(f"recording {os.path.getsize(record) / 1e6:.1f} MB, page {os.path.getsize(page) / 1e3:.0f} kB "
      f"({os.path.getsize(bare) / 1e3:.0f} kB without the logs), "
      f"written in {time.monotonic() - started:.1f} s")

KEYS = """const [n, key] = arguments; const t0 = performance.now();
  for (let i = 0; i < n; ++i) window.dispatchEvent(new KeyboardEvent('keydown', {key}));
  return (performance.now() - t0) / n;"""
SLIDE = """const s = document.getElementById('slider'); const t0 = performance.now();
  s.value = arguments[0]; s.dispatchEvent(new Event('input')); return performance.now() - t0;"""
PLAY = """const done = arguments[arguments.length - 1];
  document.getElementById('speed').value = arguments[0];
  const from = +document.getElementById('tick').textContent;
  let frames = 0, worst = 0, last = performance.now();
  function frame(now) {
    worst = Math.max(worst, now - last); last = now;
    if (++frames < 120) return requestAnimationFrame(frame);
    window.dispatchEvent(new KeyboardEvent('keydown', {key: ' '}));
    done([worst, +document.getElementById('tick').textContent - from]);
  }
  window.dispatchEvent(new KeyboardEvent('keydown', {key: ' '})); requestAnimationFrame(frame);"""

SURVIVOR = """const last = document.getElementById('slider').max;
  location.hash = '#round=1&tick=0'; document.getElementById('slider').value = last;
  document.getElementById('slider').dispatchEvent(new Event('input'));
  const alive = document.querySelector('#players > [data-alive="true"]');
  return alive ? +alive.dataset.id : 0;"""


def timings(html, fragment):
    browser.open("about:blank")
    started = time.monotonic()
    browser.open(f"file://{html}{fragment}")
    print(f"open to the first frame: {time.monotonic() - started:.2f} s")
    print(f"step forward: {browser.js(KEYS, 500, 'ArrowRight'):.2f} ms a tick (500 steps)")
    last = int(browser.js("return +document.getElementById('slider').max"))
    print(f"slider to the last tick: {browser.js(SLIDE, last):.1f} ms")
    print(f"step back from the last tick (replays the round): "
          f"{browser.js(KEYS, 50, 'ArrowLeft'):.2f} ms a step")
    print(f"slider back to tick 100: {browser.js(SLIDE, 100):.1f} ms")
    for speed in ["1", "16", "64"]:
        worst, moved = browser.js_async(PLAY, speed)
        print(f"play {speed}x for 120 animation frames: {moved} ticks, "
              f"longest frame {worst:.1f} ms")


browser = Browser(os.path.join(work, "profile"))
try:
    print("-- the page without the logs")
    timings(bare, "#round=1&tick=0")
    print("-- with the logs, no seat picked")
    timings(page, "#round=1&tick=0")
    browser.open(f"file://{page}#round=1&tick=0")
    seat = browser.js(SURVIVOR)
    print(f"-- the decision panel of seat {seat}")
    timings(page, f"#round=1&tick=0&seat={seat}")
finally:
    browser.close()
    shutil.rmtree(work, ignore_errors=True)  # a --recording given is left alone
