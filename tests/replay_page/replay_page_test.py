#!/usr/bin/env python3
"""The replay page in a real browser (Debian's chromium, driven by chromedriver).

Records a game of four real bots in the real arena (127.0.4.1), writes its page
with --replay --html, then: opens the page at several fragments and compares
round, tick, positions and alive with the recording; checks the colours of
known cells in a screenshot; steps with the keyboard and sees #tick move.

Usage: replay_page_test.py ARENA BOT WORKDIR
"""
import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from webdriver import Browser  # noqa: E402

ARENA, BOT, WORK = sys.argv[1], sys.argv[2], sys.argv[3]
# Colours the page draws (replay.js): walls, blocks, and players by id.
WALL, BLOCK = (0x5a, 0x5a, 0x5a), (0xa0, 0x70, 0x3c)
PLAYERS = [(0xe0, 0x1b, 0x1b), (0x1b, 0xb0, 0x1b), (0x2f, 0x5c, 0xff), (0xc0, 0x2c, 0xc0)]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def record_game():
    os.makedirs(WORK, exist_ok=True)
    record = os.path.join(WORK, "game.jsonl")
    page = os.path.join(WORK, "game.html")
    argv = [ARENA, "--bind", "127.0.4.1", "--view", "none", "--tick-ms", "0", "--rounds", "2",
            "--max-ticks", "120", "--seed", "7", "--record", record, "--logs",
            os.path.join(WORK, "logs")]
    for _ in range(4):
        argv += ["--spawn", BOT]
    subprocess.run(argv, check=True, timeout=60, stdout=subprocess.DEVNULL)
    subprocess.run([ARENA, "--replay", record, "--html", page], check=True, timeout=30,
                   stdout=subprocess.DEVNULL)
    ticks = []
    with open(record) as f:
        for line in f:
            j = json.loads(line)
            if "results" not in j:
                ticks.append(j)
    return page, ticks


MIRROR = """return {round: +document.getElementById('round').textContent,
  tick: +document.getElementById('tick').textContent,
  hash: location.hash,
  players: [...document.querySelectorAll('#players > *')].map(e => ({
    id: +e.dataset.id, alive: e.dataset.alive === 'true', x: +e.dataset.x, y: +e.dataset.y}))};"""


def expected(snapshot):
    return {"round": snapshot["round"], "tick": snapshot["tick"],
            "players": [{"id": p["id"], "alive": p["alive"], "x": p["x"], "y": p["y"]}
                        for p in snapshot["players"]]}


def check_fragments(browser, url, ticks):
    # The first and last ticks, a round's start, every death and some between.
    picks = {0, len(ticks) - 1, len(ticks) // 3, len(ticks) // 2}
    picks |= {i for i, t in enumerate(ticks) if t["tick"] == 0 or t["deaths"]}
    for i in sorted(picks):
        t = ticks[i]
        # The page names the last snapshot of a (round, tick), so compare with that one.
        same = [s for s in ticks if s["round"] == t["round"] and s["tick"] == t["tick"]]
        fragment = f"#round={t['round']}&tick={t['tick']}"
        browser.open("about:blank")
        browser.open(url + fragment)
        got = browser.js(MIRROR)
        check(got["hash"] == fragment, f"{fragment}: fragment is {got['hash']}")
        del got["hash"]
        check(got == expected(same[-1]), f"{fragment}: page shows {got}, recording {expected(same[-1])}")


def png_pixels(data):
    """Decodes an 8-bit RGB or RGBA, non-interlaced PNG: (width, rows of RGB tuples)."""
    pos, chunks, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (2, 6) and interlace == 0, header
    bpp = 4 if colour == 6 else 3
    raw, stride, rows, prev = zlib.decompress(chunks), width * bpp, [], bytearray(width * bpp)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(width)])
        prev = line
    return rows


def check_screenshot(browser, url, ticks):
    t = ticks[2]  # early, so every player is still on the board
    browser.open(url + f"#round={t['round']}&tick={t['tick']}")
    box = browser.js("const r = document.getElementById('map').getBoundingClientRect();"
                     "return [r.left, r.top, +document.getElementById('map').dataset.cell];")
    rows = png_pixels(base64.b64decode(browser.command("GET", "/screenshot")))
    left, top, cell = box

    def colour(x, y):  # near a cell's corner, clear of any letter or digit
        return rows[int(top + y * cell + 2)][int(left + x * cell + 2)]

    cells = [((0, 0), WALL, "the top-left wall")]
    for y, row in enumerate(t["map"]):
        if "#" in row:
            cells.append(((row.index("#"), y), BLOCK, "a block"))
            break
    busy = {(b["x"], b["y"]) for b in t["bombs"]} | {tuple(c) for c in t["blasts"]}
    for p in t["players"]:
        if p["alive"] and (p["x"], p["y"]) not in busy:
            cells.append(((p["x"], p["y"]), PLAYERS[p["id"]], f"player {p['id']}"))
    for (x, y), want, what in cells:
        got = colour(x, y)
        check(all(abs(g - w) <= 8 for g, w in zip(got, want)),
              f"screenshot: {what} at {x},{y} is {got}, not {want}")


def check_keys(browser, url, ticks):
    t = ticks[5]
    browser.open("about:blank")
    browser.open(url + f"#round={t['round']}&tick={t['tick']}")
    right, left, space = "\ue014", "\ue012", " "
    browser.keys(right, right)
    check(browser.js(MIRROR)["tick"] == t["tick"] + 2, "two right arrows step two ticks")
    browser.keys(left)
    got = browser.js(MIRROR)
    check(got["tick"] == t["tick"] + 1, "a left arrow steps one back")
    check(got["hash"] == f"#round={t['round']}&tick={t['tick'] + 1}", "the fragment follows the steps")
    browser.keys(space)  # plays
    deadline = time.monotonic() + 10
    while browser.js(MIRROR)["tick"] <= t["tick"] + 3 and time.monotonic() < deadline:
        time.sleep(0.1)
    check(browser.js(MIRROR)["tick"] > t["tick"] + 3, "space plays the game on")
    browser.keys(space)  # pauses
    paused = browser.js(MIRROR)["tick"]
    time.sleep(0.5)
    check(browser.js(MIRROR)["tick"] == paused, "space again pauses")


def main():
    page, ticks = record_game()
    url = "file://" + os.path.abspath(page)
    profile = tempfile.mkdtemp(prefix="profile-", dir=WORK)
    browser = Browser(profile)
    try:
        check_fragments(browser, url, ticks)
        check_screenshot(browser, url, ticks)
        check_keys(browser, url, ticks)
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)
    print(f"{len(failures)} failures over {len(ticks)} recorded ticks")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
