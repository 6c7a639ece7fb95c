#!/usr/bin/env python3
"""The replay page in a real browser (Debian's chromium, driven by chromedriver).

Records a game in the real arena (127.0.4.1) of the bot, the bot with its
search and a program that is not the bot, with their logs; writes its page with
--replay --html, then: opens the page at several fragments and compares round,
tick, positions and alive with the recording, and each bot's decision panel
with its log; checks the colours of known cells in a screenshot; steps with the
keyboard and sees #tick and the panel move.

Usage: replay_page_test.py ARENA BOT STAYER WORKDIR
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

ARENA, BOT, STAYER, WORK = sys.argv[1:5]
SEARCH = f"env MARROWLARK_SEARCH_MS=10 {BOT}"
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
    argv = [ARENA, "--bind", "127.0.4.1", "--view", "none", "--tick-ms", "15", "--rounds", "2",
            "--max-ticks", "120", "--seed", "7", "--record", record, "--logs",
            os.path.join(WORK, "logs")]
    for program in [BOT, SEARCH, BOT, STAYER]:
        argv += ["--spawn", program]
    subprocess.run(argv, check=True, timeout=60, stdout=subprocess.DEVNULL)
    written = subprocess.run([ARENA, "--replay", record, "--html", page], timeout=30,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    check(written.returncode == 0 and not written.stderr, f"the page with logs: {written.stderr}")
    ticks, logs = [], {}
    with open(record) as f:
        for line in f:
            j = json.loads(line)
            if "logs" in j:
                logs = {s["seat"]: os.path.join(WORK, s["path"]) for s in j["logs"]}
            elif "results" not in j:
                ticks.append(j)
    return page, ticks, logs


def read_log(path):
    """The bot's log as {(round, Tick: number): (values, cells, chosen)}, read on its own."""
    decisions, block, round_ = {}, [], 1
    for line in open(path):
        word, _, rest = line.rstrip("\n").partition(": ")
        if word == "Evaluated":
            cell, value = rest.split(" : ")
            block.append((value, cell))
        elif word == "Best":
            chosen = int(rest.split(" : ")[0])
        elif word == "Tick":
            decisions[(round_, int(rest))] = ([v for v, _ in block], [c for _, c in block], chosen)
            block = []
        elif line.strip() == "ENDOFROUND":
            round_ += 1
    return decisions


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


PANEL = """const d = document.getElementById('decision');
  return {seat: d.dataset.seat, state: d.dataset.state, hash: location.hash,
    tick: +document.getElementById('tick').textContent,
    candidates: [...d.querySelectorAll('[data-command]')].map(e => [+e.dataset.command,
      e.dataset.value, e.dataset.chosen === 'true', e.children[1].textContent])};"""


def expected_panel(decisions, round_, tick):
    """The panel on the page's tick T shows the block the log closes with Tick: T+1."""
    if (round_, tick + 1) not in decisions:
        return "skipped", []
    values, cells, chosen = decisions[(round_, tick + 1)]
    return "decision", [[k, v, k == chosen, cells[k]] for k, v in enumerate(values)]


def check_decisions(browser, url, ticks, logs):
    for seat in (0, 1):  # the bot, the bot with its search
        decisions = read_log(logs[seat])
        check(len(decisions) > 10, f"seat {seat}: {len(decisions)} decisions in its log")
        # Every fifteenth tick, and the first with no decision in the log.
        picks = set(range(0, len(ticks), 15))
        picks |= {next((i for i, t in enumerate(ticks)
                        if (t["round"], t["tick"] + 1) not in decisions), 0)}
        for i in sorted(picks):
            t = ticks[i]
            fragment = f"#round={t['round']}&tick={t['tick']}&seat={seat}"
            browser.open("about:blank")
            browser.open(url + fragment)
            got = browser.js(PANEL)
            state, candidates = expected_panel(decisions, t["round"], t["tick"])
            check((got["seat"], got["hash"]) == (str(seat), fragment), f"{fragment}: {got}")
            check((got["state"], got["candidates"]) == (state, candidates),
                  f"{fragment}: panel {got['state']} {got['candidates']}, log {state} {candidates}")
    browser.open(url + f"#round=1&tick=3&seat=3")
    check(browser.js(PANEL)["state"] == "other", "the program that is not the bot has no panel")


def check_decision_keys(browser, url, ticks, logs):
    decisions = read_log(logs[1])
    t = ticks[4]
    browser.open("about:blank")
    browser.open(url + f"#round={t['round']}&tick={t['tick']}")
    right = "\ue014"
    browser.keys("2", right)
    got = browser.js(PANEL)
    check(got["hash"] == f"#round={t['round']}&tick={t['tick'] + 1}&seat=1",
          f"key 2 picks seat 1 and the fragment keeps it: {got['hash']}")
    state, candidates = expected_panel(decisions, t["round"], t["tick"] + 1)
    check((got["state"], got["candidates"]) == (state, candidates), "the panel follows a step")


def check_missing_logs(record):
    """Logs that are not where --logs says, or are another seat's: one line each, and the
    page all the same."""
    page = os.path.join(WORK, "nologs.html")
    r = subprocess.run([ARENA, "--replay", record, "--html", page, "--logs",
                        os.path.join(WORK, "nowhere")], timeout=30, capture_output=True, text=True)
    check(r.returncode == 0 and os.path.exists(page), f"no logs: status {r.returncode}")
    check(len(r.stderr.splitlines()) == 4 and "cannot read the log" in r.stderr,
          f"no logs: stderr {r.stderr}")
    # Seat 0's log under seat 2's name: it disagrees with the recording on where the bot stood.
    swapped = os.path.join(WORK, "swapped")
    shutil.copytree(os.path.join(WORK, "logs"), swapped, dirs_exist_ok=True)
    shutil.copy(os.path.join(swapped, "1-marrowlark.log"), os.path.join(swapped, "3-marrowlark.log"))
    r = subprocess.run([ARENA, "--replay", record, "--html", page, "--logs", swapped], timeout=30,
                       capture_output=True, text=True)
    check(r.returncode == 0 and r.stderr.count("\n") == 1 and "3-marrowlark.log" in r.stderr and
          "where the recording does not" in r.stderr, f"another seat's log: stderr {r.stderr}")


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
    # A tick with ten more after it in the same round.
    t = next(t for i, t in enumerate(ticks[:-10])
             if ticks[i + 10]["round"] == t["round"] and ticks[i + 10]["tick"] == t["tick"] + 10)
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
    page, ticks, logs = record_game()
    url = "file://" + os.path.abspath(page)
    profile = tempfile.mkdtemp(prefix="profile-", dir=WORK)
    browser = Browser(profile)
    try:
        check_fragments(browser, url, ticks)
        check_screenshot(browser, url, ticks)
        check_keys(browser, url, ticks)
        check_decisions(browser, url, ticks, logs)
        check_decision_keys(browser, url, ticks, logs)
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)
    check_missing_logs(os.path.join(WORK, "game.jsonl"))
    print(f"{len(failures)} failures over {len(ticks)} recorded ticks")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
