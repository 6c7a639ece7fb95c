// Plays the recording embedded in the page: each round's map once plus each
// tick's changes. One current position (round, tick) drives the canvas, the
// side panel and the DOM mirror (#round, #tick, #players) that tests read.
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
    return { number: r.round, of: r.rounds, width, height, base, names, ticks: r.ticks, start };
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

  // The canvas keeps what each cell shows and repaints only cells that differ.
  const canvas = $('map');
  const ctx = canvas.getContext('2d');
  let cell = 0;
  let shown = null;
  let want = null;
  let shownRound = -1;

  function layout(r) {
    cell = Math.max(4, Math.min(32, Math.floor(Math.min(900 / r.width, 760 / r.height))));
    canvas.width = r.width * cell;
    canvas.height = r.height * cell;
    canvas.dataset.cell = String(cell);
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

  function show(frame) {
    if (!frames.length) return;
    current = Math.max(0, Math.min(frames.length - 1, frame));
    seek(current);
    const r = rounds[state.round];
    const t = r.ticks[state.index];
    draw(r, t);
    panel(current, r, t);
    $('slider').value = String(current);
    $('position').textContent = `${current + 1} / ${frames.length}`;
    const hash = `#round=${r.number}&tick=${t.t}`;
    if (location.hash !== hash) {
      try {
        history.replaceState(null, '', hash);
      } catch (e) {
        location.replace(hash);
      }
    }
  }

  // The frame a fragment names: the round by number, then the last frame of
  // that round at or before the tick.
  function frameOf(hash) {
    const round = /(?:^#|&)round=(\d+)/.exec(hash);
    const tick = /(?:^#|&)tick=(\d+)/.exec(hash);
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
  const keys = {
    ' ': () => setPlaying(!playing),
    ArrowLeft: () => step(-1),
    ArrowRight: () => step(1),
    ArrowDown: () => step(-10),
    ArrowUp: () => step(10),
    n: nextDeath,
  };
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
