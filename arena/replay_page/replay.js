// Plays the recording embedded in the page: each round's map once plus each
// tick's changes, and what the bots' logs say they were thinking. One current
// position (round, tick) and the picked seat drive the canvas, its overlay,
// the side panel and the DOM mirror (#round, #tick, #players, #decision)
// that tests read.
'use strict';
(function () {
  const PERIOD_MS = 150; // the arena's default tick, played at 1x
  const COLOURS = ['#e01b1b', '#1bb01b', '#2f5cff', '#c02cc0', '#18b8c0', '#d8b41a', '#ff6e6e', '#7cff7c'];
  const INK = ['#fff', '#fff', '#fff', '#fff', '#000', '#000', '#000', '#000'];
  const TILE_COLOURS = ['#1c1c1c', '#a0703c', '#5a5a5a', '#400040']; // floor, block, wall, unknown
  const BLAST = '#ff8c00';
  const BOMB = '#f4f4f4';
  const CODE_BLAST = 16;
  const CODE_BOMB = 32;     // + timer 0..9
  const CODE_PLAYER = 1000; // + id

  const data = JSON.parse(document.getElementById('recording').textContent);
  const $ = (id) => document.getElementById(id);
  const wrap = (id, n) => ((id % n) + n) % n;
  const letter = (id) => String.fromCharCode(65 + wrap(id, 26));
  const tileCode = (c) => (c === '.' ? 0 : c === '#' ? 1 : c === '+' ? 2 : 3);
  const COMMANDS = ['Stay', 'Up', 'Down', 'Left', 'Right', 'DropBomb'];
  const WORDS = ['STAY', 'UP', 'DOWN', 'LEFT', 'RIGHT', 'BOMB'];
  const STEPS = [[0, 0], [0, -1], [0, 1], [-1, 0], [1, 0], [0, 0]];
  const sources = data.seats || []; // per seat: 'bot', 'other', 'missing' or '' (no log)

  // Every tick of every round, in order: the slider's positions.
  const frames = [];
  const deaths = []; // {frame, round, tick, victim, killer}
  const chat = [];   // {frame, round, id, text}
  const rounds = data.rounds.map((r, ri) => {
    const height = r.map.length;
    const width = height ? r.map[0].length : 0;
    const base = new Uint8Array(width * height);
    r.map.forEach((row, y) => {
      for (let x = 0; x < width; ++x) base[y * width + x] = tileCode(row[x]);
    });
    const names = new Map(r.names.map(([id, name]) => [id, name]));
    const start = frames.length;
    r.ticks.forEach((t, ti) => {
      const frame = frames.length;
      frames.push({ round: ri, index: ti });
      const d = t.d || [];
      for (let k = 0; k + 1 < d.length; k += 2) {
        deaths.push({ frame, round: r.round, tick: t.t, victim: d[k], killer: d[k + 1], names });
      }
      for (const [id, text] of t.c || []) chat.push({ frame, id, text, names });
    });
    return { number: r.round, of: r.rounds, width, height, base, names, ticks: r.ticks, start,
      why: r.why || [], decided: [] };
  });

  // The game at the current position; moving forward applies ticks, moving
  // back starts again from the round's map.
  const state = { round: -1, index: -1, tiles: null, players: new Map() };

  function apply(t, width) {
    const m = t.m || [];
    for (let k = 0; k + 2 < m.length; k += 3) state.tiles[m[k + 1] * width + m[k]] = tileCode(m[k + 2]);
    for (const [id, x, y, alive, wins] of t.p) state.players.set(id, { x, y, alive: alive === 1, wins });
  }

  function seek(frame) {
    const f = frames[frame];
    const r = rounds[f.round];
    if (f.round !== state.round || f.index < state.index) {
      state.round = f.round;
      state.index = -1;
      state.tiles = r.base.slice();
      state.players = new Map();
    }
    while (state.index < f.index) apply(r.ticks[++state.index], r.width);
  }

  // One seat's tokens for a round (decision_data.h): per tick '-' (none in
  // the log), '?' (unknown), '=T' (the previous decision, T microseconds) or
  // a full decision. Decoded the first time the seat is looked at.
  function decode(text) {
    let last = null;
    return text.split(' ').map((token) => {
      if (token === '-' || token === '?') return token;
      if (token[0] === '=') return { ...last, micros: Number(token.slice(1)) };
      const f = token.split(',');
      const x = Number(f[0]);
      const y = Number(f[1]);
      const cells = [[x, y]];
      if (/^[a-i]{5}$/.test(f[2])) {
        for (const c of f[2]) {
          const k = c.charCodeAt(0) - 97;
          cells.push([x + Math.floor(k / 3) - 1, y + (k % 3) - 1]);
        }
      } else {
        const n = f[2].split('.').map(Number);
        for (let k = 0; k + 1 < n.length; k += 2) cells.push([n[k], n[k + 1]]);
      }
      last = {
        cells, values: f.slice(3, 9).map((v, k) => String(k ? Number(f[3]) + Number(v) : Number(v))),
        chosen: Number(f[9]), micros: Number(f[10]),
        search: f.length > 11
          ? { depth: f[11], ticks: f[12], line: [...f[13]].map(Number), tooBig: f[14] === '1' } : null,
      };
      return last;
    });
  }

  // The decision made on the position of tick `index` of round `r`, or why there is none.
  function decisionAt(r, seat, index) {
    const source = sources[seat] || '';
    if (source !== 'bot') return source || 'none';
    if (!r.why[seat]) return '-';
    if (!r.decided[seat]) r.decided[seat] = decode(r.why[seat]);
    return r.decided[seat][index] ?? '-';
  }

  // The canvas keeps what each cell shows and repaints only cells that differ.
  const canvas = $('map');
  const ctx = canvas.getContext('2d');
  const overlay = $('overlay');
  const octx = overlay.getContext('2d');
  let cell = 0;
  let shown = null;
  let want = null;
  let shownRound = -1;

  function layout(r) {
    cell = Math.max(4, Math.min(32, Math.floor(Math.min(900 / r.width, 760 / r.height))));
    canvas.width = r.width * cell;
    canvas.height = r.height * cell;
    canvas.dataset.cell = String(cell);
    overlay.width = canvas.width;
    overlay.height = canvas.height;
    shown = new Int32Array(r.width * r.height).fill(-1);
    want = new Int32Array(r.width * r.height);
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.font = `bold ${Math.floor(cell * 0.7)}px monospace`;
  }

  function paint(k, code, width) {
    const x = (k % width) * cell;
    const y = Math.floor(k / width) * cell;
    const text = (s, ink) => {
      if (cell >= 10) {
        ctx.fillStyle = ink;
        ctx.fillText(s, x + cell / 2, y + cell / 2 + 1);
      }
    };
    if (code >= CODE_PLAYER) {
      const id = code - CODE_PLAYER;
      ctx.fillStyle = COLOURS[wrap(id, 8)];
      ctx.fillRect(x, y, cell, cell);
      text(letter(id), INK[wrap(id, 8)]);
    } else if (code >= CODE_BOMB) {
      ctx.fillStyle = TILE_COLOURS[0];
      ctx.fillRect(x, y, cell, cell);
      ctx.fillStyle = BOMB;
      ctx.beginPath();
      ctx.arc(x + cell / 2, y + cell / 2, cell * 0.42, 0, 2 * Math.PI);
      ctx.fill();
      text(String(code - CODE_BOMB), '#000');
    } else if (code === CODE_BLAST) {
      ctx.fillStyle = BLAST;
      ctx.fillRect(x, y, cell, cell);
    } else {
      ctx.fillStyle = TILE_COLOURS[code];
      ctx.fillRect(x, y, cell, cell);
    }
  }

  function draw(r, t) {
    if (shownRound !== state.round) {
      layout(r);
      shownRound = state.round;
    }
    const { width, height } = r;
    const put = (x, y, code) => {
      if (x >= 0 && y >= 0 && x < width && y < height) want[y * width + x] = code;
    };
    want.set(state.tiles);
    const blasts = t.x || [];
    for (let k = 0; k + 1 < blasts.length; k += 2) put(blasts[k], blasts[k + 1], CODE_BLAST);
    const bombs = t.b || [];
    for (let k = 0; k + 3 < bombs.length; k += 4) {
      put(bombs[k + 1], bombs[k + 2], CODE_BOMB + Math.max(0, Math.min(9, bombs[k + 3])));
    }
    for (const [id, p] of state.players) if (p.alive) put(p.x, p.y, CODE_PLAYER + id);
    for (let k = 0; k < want.length; ++k) {
      if (want[k] !== shown[k]) {
        paint(k, want[k], width);
        shown[k] = want[k];
      }
    }
  }

  // The picked seat's thinking on the map: a marker on each candidate's cell
  // (the chosen one solid) and the planned line as a path from its cell.
  let marked = false; // the overlay holds something to clear
  function drawThinking(d, seat) {
    if (marked) octx.clearRect(0, 0, overlay.width, overlay.height);
    const p = state.players.get(seat);
    marked = !!d && typeof d === 'object' && !!p;
    if (!marked) return;
    const centre = (v) => v * cell + cell / 2;
    const colour = COLOURS[wrap(seat, 8)];
    octx.lineWidth = Math.max(1, cell / 8);
    d.cells.forEach(([x, y], k) => {
      octx.strokeStyle = k === d.chosen ? '#fff' : 'rgba(255, 255, 255, 0.5)';
      octx.setLineDash(k === d.chosen ? [] : [Math.max(2, cell / 6)]);
      const inset = octx.lineWidth;
      octx.strokeRect(x * cell + inset, y * cell + inset, cell - 2 * inset, cell - 2 * inset);
    });
    octx.setLineDash([]);
    if (!d.search || !d.search.line.length) return;
    let x = p.x;
    let y = p.y;
    octx.strokeStyle = colour;
    octx.fillStyle = colour;
    octx.lineWidth = Math.max(2, cell / 5);
    octx.beginPath();
    octx.moveTo(centre(x), centre(y));
    for (const c of d.search.line) {
      x += STEPS[c][0];
      y += STEPS[c][1];
      octx.lineTo(centre(x), centre(y));
    }
    octx.stroke();
    x = p.x;
    y = p.y;
    for (const c of d.search.line) {
      x += STEPS[c][0];
      y += STEPS[c][1];
      octx.beginPath();
      octx.arc(centre(x), centre(y), c === 5 ? cell * 0.35 : Math.max(1.5, cell / 8), 0, 2 * Math.PI);
      if (c === 5) octx.stroke();
      else octx.fill();
    }
  }

  const NOTES = {
    none: 'No log is named for this seat: the arena did not start its program.',
    missing: "This seat's log could not be read.",
    other: "This seat's program does not log its decisions in the bot's format.",
    '-': 'No decision in the log for this tick: the bot skipped it.',
    '?': "Unknown: the log's lines for this tick do not parse.",
  };

  function paragraph(text) {
    const p = document.createElement('p');
    p.textContent = text;
    return p;
  }

  function thinking(r, index) {
    const box = $('decision');
    box.dataset.seat = seat === null ? '' : String(seat);
    if (seat === null) {
      box.dataset.state = 'none';
      box.replaceChildren(paragraph('Pick a player (click it, or keys 1 to 8) to see what it was thinking.'));
      drawThinking(null, 0);
      return;
    }
    const d = decisionAt(r, seat, state.index);
    const head = paragraph(`${nameOf(r.names, seat)}, on this position:`);
    drawThinking(d, seat);
    if (typeof d !== 'object') {
      box.dataset.state = d === '-' ? 'skipped' : d === '?' ? 'unknown' : d;
      box.replaceChildren(head, paragraph(NOTES[d]));
      return;
    }
    box.dataset.state = 'decision';
    const list = document.createElement('ol');
    d.values.forEach((value, k) => {
      const li = document.createElement('li');
      li.dataset.command = String(k);
      li.dataset.value = value;
      if (k === d.chosen) li.dataset.chosen = 'true';
      li.innerHTML = '<span></span><span></span><span></span>';
      li.children[0].textContent = COMMANDS[k];
      li.children[1].textContent = `${d.cells[k][0]},${d.cells[k][1]}`;
      li.children[2].textContent = value;
      list.appendChild(li);
    });
    const facts = [`${d.micros} µs`];
    if (d.search) {
      facts.push(`depth ${d.search.depth}, ${d.search.ticks} ticks`);
      if (d.search.tooBig) facts.push('too big to search: one-tick look-ahead');
    }
    const parts = [head, list, paragraph(facts.join(', '))];
    if (d.search && d.search.line.length) {
      parts.push(paragraph('Line: ' + d.search.line.map((c) => WORDS[c]).join(' ')));
    }
    box.replaceChildren(...parts);
  }

  // How many entries of a list ordered by frame belong at or before `frame`.
  function upTo(list, frame) {
    let lo = 0;
    let hi = list.length;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (list[mid].frame <= frame) lo = mid + 1;
      else hi = mid;
    }
    return lo;
  }

  const nameOf = (names, id) => `${letter(id)} ${names.get(id) ?? 'player' + id}`;

  function item(text) {
    const li = document.createElement('li');
    li.textContent = text;
    return li;
  }

  let shownDeaths = -1;
  let shownChat = -1;

  function panel(frame, r, t) {
    $('round').textContent = String(r.number);
    $('rounds').textContent = String(r.of);
    $('tick').textContent = String(t.t);
    $('result').textContent = !t.over ? '' : t.winner >= 0 ? `(${nameOf(r.names, t.winner)} wins)` : '(no winner)';
    const dead = upTo(deaths, frame);
    const kills = new Map();
    for (let k = 0; k < dead; ++k) {
      const d = deaths[k];
      if (d.killer !== d.victim) kills.set(d.killer, (kills.get(d.killer) || 0) + 1);
    }
    const list = $('players');
    const ids = [...state.players.keys()].sort((a, b) => a - b);
    while (list.children.length > ids.length) list.lastChild.remove();
    ids.forEach((id, n) => {
      const p = state.players.get(id);
      let li = list.children[n];
      if (!li) {
        li = document.createElement('li');
        li.innerHTML = '<span class="letter"></span><span class="name"></span><span class="life"></span><span class="score"></span>';
        list.appendChild(li);
      }
      li.dataset.id = String(id);
      li.classList.toggle('picked', id === seat);
      li.dataset.alive = String(p.alive);
      li.dataset.x = String(p.x);
      li.dataset.y = String(p.y);
      const badge = li.querySelector('.letter');
      badge.textContent = letter(id);
      badge.style.background = COLOURS[wrap(id, 8)];
      badge.style.color = INK[wrap(id, 8)];
      li.querySelector('.name').textContent = r.names.get(id) ?? 'player' + id;
      li.querySelector('.life').textContent = p.alive ? 'alive' : 'dead';
      li.querySelector('.score').textContent = `wins ${p.wins}, kills ${kills.get(id) || 0}`;
    });
    if (dead !== shownDeaths) {
      shownDeaths = dead;
      $('deaths').replaceChildren(...deaths.slice(0, dead).map((d) => item(
        `Round ${d.round}, tick ${d.tick}: ${nameOf(d.names, d.victim)} ` +
        (d.killer === d.victim ? 'blew itself up' : `killed by ${nameOf(d.names, d.killer)}`))));
      $('deaths').scrollTop = $('deaths').scrollHeight;
    }
    const said = upTo(chat, frame);
    if (said !== shownChat) {
      shownChat = said;
      $('chat').replaceChildren(...chat.slice(Math.max(0, said - 200), said)
        .map((c) => item(`${nameOf(c.names, c.id)}: ${c.text}`)));
      $('chat').scrollTop = $('chat').scrollHeight;
    }
  }

  let current = 0;
  let seat = null; // the player whose thinking is shown

  function show(frame) {
    if (!frames.length) return;
    current = Math.max(0, Math.min(frames.length - 1, frame));
    seek(current);
    const r = rounds[state.round];
    const t = r.ticks[state.index];
    draw(r, t);
    panel(current, r, t);
    thinking(r, state.index);
    $('slider').value = String(current);
    $('position').textContent = `${current + 1} / ${frames.length}`;
    const hash = `#round=${r.number}&tick=${t.t}` + (seat === null ? '' : `&seat=${seat}`);
    if (location.hash !== hash) {
      try {
        history.replaceState(null, '', hash);
      } catch (e) {
        location.replace(hash);
      }
    }
  }

  // The frame a fragment names: the round by number, then the last frame of
  // that round at or before the tick. It also picks the seat it names.
  function frameOf(hash) {
    const round = /(?:^#|&)round=(\d+)/.exec(hash);
    const tick = /(?:^#|&)tick=(\d+)/.exec(hash);
    const picked = /(?:^#|&)seat=(\d+)/.exec(hash);
    seat = picked ? Number(picked[1]) : null;
    const r = rounds.find((x) => round && x.number === Number(round[1])) || rounds[0];
    if (!r) return 0;
    let index = 0;
    if (tick) {
      r.ticks.forEach((t, i) => {
        if (t.t <= Number(tick[1])) index = i;
      });
    }
    return r.start + index;
  }

  let playing = false;
  let last = 0;
  let owed = 0;

  function setPlaying(on) {
    if (on && current === frames.length - 1) show(0); // play at the end starts over
    playing = on && current < frames.length - 1;
    $('play').textContent = playing ? 'Pause' : 'Play';
    if (playing) {
      last = performance.now();
      owed = 0;
      requestAnimationFrame(tick);
    }
  }

  function tick(now) {
    if (!playing) return;
    owed += ((now - last) * Number($('speed').value)) / PERIOD_MS;
    last = now;
    if (owed >= 1) {
      const steps = Math.floor(owed);
      owed -= steps;
      show(current + steps);
      if (current >= frames.length - 1) {
        setPlaying(false);
        return;
      }
    }
    requestAnimationFrame(tick);
  }

  function step(by) {
    setPlaying(false);
    show(current + by);
  }

  function nextDeath() {
    const next = deaths.find((d) => d.frame > current);
    if (next) step(next.frame - current);
  }

  $('slider').max = String(Math.max(0, frames.length - 1));
  $('slider').addEventListener('input', (e) => {
    setPlaying(false);
    show(Number(e.target.value));
  });
  $('play').addEventListener('click', () => setPlaying(!playing));
  $('back').addEventListener('click', () => step(-1));
  $('forward').addEventListener('click', () => step(1));
  $('next-death').addEventListener('click', nextDeath);
  function pick(id) {
    seat = id;
    show(current);
  }
  $('players').addEventListener('click', (e) => {
    const li = e.target.closest('li');
    if (li) pick(Number(li.dataset.id));
  });
  const keys = {
    ' ': () => setPlaying(!playing),
    ArrowLeft: () => step(-1),
    ArrowRight: () => step(1),
    ArrowDown: () => step(-10),
    ArrowUp: () => step(10),
    n: nextDeath,
  };
  for (let k = 1; k <= 8; ++k) keys[String(k)] = () => pick(k - 1);
  window.addEventListener('keydown', (e) => {
    const action = keys[e.key];
    if (!action || e.altKey || e.ctrlKey || e.metaKey || e.target.tagName === 'SELECT') return;
    e.preventDefault();
    action();
  }, true);
  // A focused button would otherwise take the space bar's keyup as a click.
  window.addEventListener('keyup', (e) => {
    if (keys[e.key] && e.target.tagName === 'BUTTON') e.preventDefault();
  }, true);
  window.addEventListener('hashchange', () => show(frameOf(location.hash)));
  show(frameOf(location.hash));
})();
