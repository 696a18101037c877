'use strict';
// The page of a run: a report carries its data; a live page asks the server
// for what changed since it last asked. Either way the screen, the map, the
// timeline and the calls are drawn for one chosen frame.

const SPANS = ['moments', 'lines', 'path', 'things', 'prompts', 'texts', 'boxes', 'notices', 'values'];
const $ = (id) => document.getElementById(id);
const SVG = 'http://www.w3.org/2000/svg';
// The map's colours come with the data, as the SVG map has them.
const colour = (name) => run.data.palette[name];
const kindColour = (kind) => colour(kind === 'ped' || kind === 'blip' ? kind : 'prop');
function ownerColour(o) {
  const owners = Object.keys(run.data.palette).filter((k) => k.startsWith('owner_'));
  return colour(owners[o % owners.length]);
}

const run = { data: null, frame: 0, playing: false, follow: true, drawnFrame: -1 };

function merge(into, delta) {
  if (!into) {
    const fresh = Object.assign({}, delta);
    for (const name of SPANS) fresh[name] = delta[name].items;
    return fresh;
  }
  for (const key of Object.keys(delta)) {
    if (SPANS.includes(key)) {
      const list = into[key];
      list.length = Math.min(list.length, delta[key].from);
      for (const item of delta[key].items) list.push(item);
    } else if (key === 'calls') {
      into.calls = delta.calls;
    } else {
      into[key] = delta[key];
    }
  }
  return into;
}

// --- the scenario's clock ---------------------------------------------------
function msAt(f) {
  const c = run.data.clock.slice();
  if (run.data.live_ms !== undefined) c.push({ frame: run.data.last, ms: run.data.live_ms });
  if (!c.length) return 0;
  if (f <= c[0].frame) return c[0].ms;
  for (let i = 1; i < c.length; i++) {
    if (f <= c[i].frame) {
      const { frame: f0, ms: m0 } = c[i - 1];
      const { frame: f1, ms: m1 } = c[i];
      return f1 === f0 ? m1 : m0 + ((f - f0) * (m1 - m0)) / (f1 - f0);
    }
  }
  return c[c.length - 1].ms;
}
function frameAt(ms) {
  let lo = run.data.first, hi = run.data.last;
  while (lo < hi) {
    const mid = Math.floor((lo + hi + 1) / 2);
    if (msAt(mid) <= ms) lo = mid; else hi = mid - 1;
  }
  return lo;
}
const seconds = (ms) => (ms / 1000).toFixed(3) + ' s';
const on = (span, f) => span.from <= f && (span.to === 0 || f <= span.to);
// The last of a list sorted by frame whose frame is at most f, by index.
function lastAt(list, f, frameOf) {
  let lo = 0, hi = list.length - 1, found = -1;
  while (lo <= hi) {
    const mid = (lo + hi) >> 1;
    if (frameOf(list[mid]) <= f) { found = mid; lo = mid + 1; } else hi = mid - 1;
  }
  return found;
}
function el(tag, cls, text) {
  const e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  return e;
}
function svg(tag, attrs, parent) {
  const e = document.createElementNS(SVG, tag);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  if (parent) parent.appendChild(e);
  return e;
}
const rgba = (c) => `rgba(${c[0]},${c[1]},${c[2]},${(c[3] / 255).toFixed(3)})`;
const ownerName = (o) => (o < 0 ? 'the game' : run.data.plugins[o] || 'plug-in ' + o);

// --- the screen ---------------------------------------------------------------
function drawScreen(f) {
  const d = run.data, now = msAt(f);
  let cash = null, tv = '';
  for (const n of d.notices) {
    if (n.frame > f) break;
    if (n.kind === 'money') cash = n.value;
    if (n.kind === 'tv') tv = n.text;
  }
  $('money').textContent = cash === null ? '' : '$' + (cash / 100).toFixed(2);
  $('tv').textContent = tv && tv !== 'off' ? '▶ TV ' + tv : '';
  const notes = $('notes'), subtitle = $('subtitle');
  notes.replaceChildren();
  subtitle.replaceChildren();
  for (const n of d.notices) {
    if (n.frame > f) break;
    // A notification posted with no time of its own shows for the feed's usual few seconds.
    const shows = n.kind === 'note' && n.ms <= 0 ? 4000 : n.ms;
    if (now - msAt(n.frame) >= shows) continue;
    if (n.kind === 'note') notes.appendChild(el('div', 'note', n.text));
    if (n.kind === 'said') {
      const colon = n.text.indexOf(': ');
      subtitle.replaceChildren(el('b', '', n.text.slice(0, colon + 1) + ' '), n.text.slice(colon + 2));
    }
  }
  const drawn = $('drawn');
  drawn.replaceChildren();
  // Rectangles and sprites under the texts, as menus draw a box to write on.
  for (const b of d.boxes) {
    if (!on(b, f)) continue;
    const { texture, x, y, width: w, height: h, colour, owner, heading } = b;
    // A rectangle filled in its colour; a sprite, whose picture the page has
    // not, as a box named by its texture.
    const e = el('div', texture ? 'box sprite' : 'box rect', texture);
    // The game places a rectangle or a sprite by its centre.
    e.style.left = (x - w / 2) * 100 + '%';
    e.style.top = (y - h / 2) * 100 + '%';
    e.style.width = w * 100 + '%';
    e.style.height = h * 100 + '%';
    // Turned about its centre, clockwise on the screen as the game turns a sprite.
    if (heading) e.style.transform = `rotate(${heading}deg)`;
    e.style.background = texture ? 'transparent' : rgba(colour);
    if (texture) e.style.borderColor = rgba(colour);
    e.title = (texture ? 'sprite ' + texture : 'rectangle') + (heading ? ` turned ${heading}°` : '') +
      ' · ' + ownerName(owner);
    drawn.appendChild(e);
  }
  for (const t of d.texts) {
    if (!on(t, f)) continue;
    const { text, x, y, scale_x: sx, scale_y: sy, colour, centred, shadow, owner } = t;
    const e = el('div', 'text', text);
    e.style.left = x * 100 + '%';
    e.style.top = y * 100 + '%';
    // The game sizes a text by its height; its width scale it mostly ignores.
    e.style.fontSize = `calc(${(sy * 5.2).toFixed(3)} * var(--screen-h, 4px))`;
    if (centred) e.style.transform = 'translateX(-50%)';
    e.style.color = rgba(colour);
    if (shadow) e.style.textShadow = '1px 1px 2px #000';
    e.title = `${ownerName(owner)} · (${x}, ${y}) scale ${sx}×${sy} ${centred ? 'centred' : 'left'}`;
    drawn.appendChild(e);
  }
  const prompts = $('prompts');
  prompts.replaceChildren();
  for (const p of d.prompts) {
    if (!on(p, f)) continue;
    const { label, control, hold_ms: holdMs, holds } = p;
    const row = el('div', 'prompt');
    row.appendChild(el('span', 'control', keyFor(control)));
    row.appendChild(el('span', 'label', label));
    if (holdMs > 0) {
      const bar = el('span', 'hold'), fill = el('i');
      const h = holds.find((s) => on(s, f));
      const progress = h ? Math.min(1, (now - msAt(h.from)) / holdMs) : 0;
      fill.style.width = (progress * 100).toFixed(0) + '%';
      bar.title = `hold ${holdMs} ms`;
      bar.appendChild(fill);
      row.appendChild(bar);
    }
    row.title = control;
    prompts.appendChild(row);
  }
}
// The values that change smoothly, as they stood in frame f: a ramp's value
// between its ends where f falls inside it.
function drawValues(f) {
  const now = msAt(f), shown = new Map();
  for (const v of run.data.values) {
    if (v.gone) {
      if (v.frame <= f && shown.has(v.name)) shown.set(v.name, null);
      continue;
    }
    const ends = msAt(v.frame), starts = ends - v.ms;
    if (now < starts) continue;
    const part = now >= ends || v.ms === 0 ? 1 : (now - starts) / v.ms;
    shown.set(v.name, v.from + (v.to - v.from) * part);
  }
  const box = $('values');
  box.replaceChildren();
  for (const [name, value] of shown) {
    const row = el('span', 'value', name + ' ');
    row.dataset.name = name;
    row.appendChild(el('b', '', value === null ? 'gone' : value.toFixed(3)));
    box.appendChild(row);
  }
}
function keyFor(control) {
  const key = (run.data.keys || {})[control];
  return key ? `${key} · ${control}` : control;
}

// --- the map --------------------------------------------------------------------
let view = null;
function mapView() {
  const d = run.data;
  // A plug-in of no deliverable has no site: the map opens where the player is.
  const here = d.path[Math.max(0, lastAt(d.path, run.frame, (p) => p.frame))];
  const site = d.areas.find((a) => a.kind === 'site') || d.areas[0] || here || { x: 0, y: 0 };
  const [cx, cy] = [site.x, site.y];
  // What the plug-ins placed near the site, close enough to read; the rings
  // and the player's path may reach far beyond (the wheel zooms out).
  let half = 12;
  const take = (x, y, margin) => {
    const r = Math.max(Math.abs(x - cx), Math.abs(y - cy)) + margin;
    if (r < 160) half = Math.max(half, r);
  };
  for (const a of d.areas) {
    if (a.kind === 'place' && Math.hypot(a.x - cx, a.y - cy) < 40) take(a.x, a.y, 4);
    if (a.kind === 'outline') { take(a.x, a.y, 3); take(a.x1, a.y1, 3); }
  }
  if (!d.things.length) for (const p of d.path) take(p.x, p.y, 3);
  for (const t of d.things) take(t.moves[0].x, t.moves[0].y, 3);
  return { cx, cy, half: half * zoom };
}
let zoom = 1;
function drawMap(f) {
  const d = run.data, map = $('map');
  if (!view || d.live) view = mapView();
  const { cx, cy, half } = view;
  map.style.background = colour('background');
  map.setAttribute('viewBox', `${cx - half} ${-cy - half} ${2 * half} ${2 * half}`);
  map.replaceChildren();
  const unit = half / 200;
  const g = svg('g', {}, map);
  for (const a of d.areas) {
    const { kind, name, x, y, radius: r, x1, y1 } = a;
    if (kind === 'outline') {
      svg('rect', { x: Math.min(x, x1), y: -Math.max(y, y1), width: Math.abs(x1 - x), height: Math.abs(y1 - y),
        fill: 'none', stroke: colour('outline'), 'stroke-width': unit * 2, class: 'outline' }, g);
      const t = svg('text', { x: Math.min(x, x1), y: -Math.max(y, y1) - unit * 3, 'font-size': unit * 11, fill: colour('outline') }, g);
      t.textContent = name;
    } else if (kind === 'ring') {
      svg('circle', { cx: x, cy: -y, r, fill: 'none', stroke: colour('ring'), 'stroke-dasharray': `${unit * 4} ${unit * 4}`,
        'stroke-width': unit, class: 'ring' }, g).appendChild(svgTitle(`${name}: ${r} m`));
    } else if (kind === 'place') {
      svg('circle', { cx: x, cy: -y, r: unit * 3, fill: colour('ink'), class: 'place' }, g);
      const t = svg('text', { x: x + unit * 5, y: -y + unit * 4, 'font-size': unit * 11, fill: colour('ink') }, g);
      t.textContent = name;
    }
  }
  const reach = (x, y, r, title) => svg('circle', { cx: x, cy: -y, r, fill: 'rgba(21,101,192,.08)',
    stroke: colour('reach'), 'stroke-width': unit, class: 'reach' }, g).appendChild(svgTitle(title));
  for (const p of d.prompts) {
    if (!on(p, f)) continue;
    if (p.reach) reach(p.reach.x, p.reach.y, p.reach.radius, `"${p.label}" offered within ${p.reach.radius} m of here`);
    // Offered near an entity: the reach goes where the entity is.
    const t = p.near && d.things[p.near.thing];
    if (t) {
      const [x, y] = placeAt(t, f);
      reach(x, y, p.near.radius, `"${p.label}" offered within ${p.near.radius} m of ${t.nickname || t.model}`);
    }
  }
  const upTo = lastAt(d.path, f, (p) => p.frame);
  let dAttr = '';
  for (let i = 0; i <= upTo; i++) {
    const p = d.path[i];
    dAttr += (i === 0 || p.leg ? 'M' : 'L') + p.x + ' ' + -p.y + ' ';
  }
  if (dAttr) svg('path', { d: dAttr, fill: 'none', stroke: colour('path'), 'stroke-width': unit * 2, class: 'path' }, g);
  let things = 0;
  const spots = new Map();  // things that share a spot, by the spot
  for (const t of d.things) {
    if (!on(t, f)) continue;
    const [x, y] = placeAt(t, f);
    const spot = `${Math.round(x / (unit * 4))},${Math.round(y / (unit * 4))}`;
    const here = spots.get(spot) || { x, y, names: [] };
    here.names.push(`${t.kind} ${t.nickname || t.model}`);
    spots.set(spot, here);
    const fill = kindColour(t.kind);
    const stroke = t.owner < 0 ? '#fff' : ownerColour(t.owner);
    const shape = t.kind === 'blip'
      ? svg('rect', { x: x - unit * 4, y: -y - unit * 4, width: unit * 8, height: unit * 8, fill, 'fill-opacity': 0.7 }, g)
      : svg('circle', { cx: x, cy: -y, r: unit * (t.kind === 'ped' ? 4 : 3), fill }, g);
    shape.setAttribute('stroke', stroke);
    shape.setAttribute('stroke-width', unit * 1.5);
    shape.setAttribute('class', 'thing ' + t.kind);
    shape.appendChild(svgTitle(`${t.kind} ${t.nickname || t.model} (${t.model}) of ${ownerName(t.owner)}`));
    things++;
  }
  // Several in one spot: their count beside it, and all their names.
  for (const s of spots.values()) {
    if (s.names.length < 2) continue;
    const t = svg('text', { x: s.x + unit * 5, y: -s.y - unit * 5, 'font-size': unit * 12, 'font-weight': 'bold',
      fill: '#222', class: 'several' }, g);
    t.textContent = '×' + s.names.length;
    t.appendChild(svgTitle(s.names.join('\n')));
  }
  if (upTo >= 0) {
    const p = d.path[upTo];
    svg('circle', { cx: p.x, cy: -p.y, r: unit * 5, fill: colour('path'), stroke: '#fff', 'stroke-width': unit * 1.5,
      class: 'player' }, g).appendChild(svgTitle(`the player at (${p.x}, ${p.y})`));
    // Off the map: an arrow at its edge points to him, with how far he is.
    const dx = p.x - cx, dy = p.y - cy, far = Math.max(Math.abs(dx), Math.abs(dy));
    if (far > half) {
      const k = (half - unit * 12) / far, ax = cx + dx * k, ay = cy + dy * k;
      const a = svg('g', { class: 'pointer' }, g);
      svg('line', { x1: cx + dx * k * 0.9, y1: -(cy + dy * k * 0.9), x2: ax, y2: -ay, stroke: colour('path'),
        'stroke-width': unit * 3 }, a);
      svg('circle', { cx: ax, cy: -ay, r: unit * 4, fill: colour('path') }, a);
      const t = svg('text', { x: ax - unit * 30, y: -ay - unit * 7, 'font-size': unit * 11, fill: colour('path') }, a);
      t.textContent = `player ${Math.round(Math.hypot(dx, dy))} m`;
    }
  }
  // A scale bar: a round length near a fifth of the view.
  const steps = [1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000];
  const length = steps.find((m) => m >= half * 0.4) || steps[steps.length - 1];
  const bx = cx - half + unit * 10, by = cy - half + unit * 14;
  const bar = svg('g', { class: 'scale' }, g);
  svg('path', { d: `M${bx} ${-by - unit * 4}V${-by}H${bx + length}V${-by - unit * 4}`, fill: 'none', stroke: colour('ink'),
    'stroke-width': unit * 1.5 }, bar);
  const label = svg('text', { x: bx + unit * 3, y: -by - unit * 6, 'font-size': unit * 11, fill: colour('ink') }, bar);
  label.textContent = `${length} m`;
  const legend = $('legend');
  legend.replaceChildren();
  const key = (name, mark, text) => {
    const m = el('span', '', mark);
    m.style.color = colour(name);
    legend.append(m, ' ' + text + ' ');
  };
  key('ped', '●', 'ped');
  key('prop', '●', 'prop');
  key('blip', '■', 'blip');
  key('path', '━', 'path');
  key('reach', '◯', "prompt's reach · owners (outline):");
  d.plugins.forEach((p, i) => {
    const m = el('span', '', '■');
    m.style.color = ownerColour(i);
    legend.append(m, ' ' + p + ' ');
  });
  legend.append(`· ${things} things now`);
}
// Where a thing was in frame f: its latest move by then.
function placeAt(t, f) {
  const moves = t.moves;
  let k = 0;
  for (let i = 1; i < moves.length && moves[i].frame <= f; i++) k = i;
  return [moves[k].x, moves[k].y];
}
function svgTitle(text) {
  const t = document.createElementNS(SVG, 'title');
  t.textContent = text;
  return t;
}

// --- timeline, calls, summary -------------------------------------------------------
let lineLinks = [];
function buildTimeline() {
  const box = $('timeline');
  const d = run.data;
  if (lineLinks.length > d.lines.length) { box.replaceChildren(); lineLinks = []; }
  const frag = document.createDocumentFragment();
  for (let i = lineLinks.length; i < d.lines.length; i++) {
    const { frame: f, text, kind } = d.lines[i];
    const a = el('a', '', text);
    a.href = '#f=' + f;
    a.dataset.frame = f;
    if (kind === 'failed' || kind === 'crash') a.classList.add('failed');
    a.addEventListener('click', (e) => { e.preventDefault(); run.follow = false; go(f); });
    lineLinks.push(a);
    frag.appendChild(a);
  }
  box.appendChild(frag);
}
let nowLine = null;
function markTimeline(f) {
  let i = lastAt(run.data.lines, f, (l) => l.frame);
  // In the failing frame, its failure is the line marked.
  for (let j = i; j >= 0 && run.data.lines[j].frame === f; j--) {
    if (lineLinks[j] && lineLinks[j].classList.contains('failed')) { i = j; break; }
  }
  const a = lineLinks[i] || null;
  if (a === nowLine) return;
  if (nowLine) nowLine.classList.remove('now');
  nowLine = a;
  if (a) {
    a.classList.add('now');
    const box = $('timeline');
    if (a.offsetTop < box.scrollTop || a.offsetTop > box.scrollTop + box.clientHeight - 20) {
      box.scrollTop = a.offsetTop - box.clientHeight / 2;
    }
  }
}
function drawCalls(f) {
  const calls = run.data.calls[f];
  $('calls-title').textContent = `Calls of frame ${f}`;
  if (calls) {
    $('calls').textContent = calls.map((c) => '| ' + c).join('\n');
  } else {
    $('calls').textContent = `No calls kept for frame ${f}.\n` + (run.data.calls_note || '');
  }
}

// --- the axis ---------------------------------------------------------------------
function buildAxis() {
  const d = run.data, scrub = $('scrub');
  scrub.min = d.first;
  scrub.max = d.last;
  const marks = $('marks');
  marks.replaceChildren();
  const span = Math.max(1, d.last - d.first);
  for (const m of d.moments) {
    const e = el('span', m.kind);
    e.style.left = ((m.frame - d.first) / span) * 100 + '%';
    e.title = `${m.kind} at ${seconds(msAt(m.frame))}${m.line ? ' (line ' + m.line + ')' : ''}: ${m.text}`;
    e.addEventListener('click', () => { run.follow = false; go(m.frame); });
    marks.appendChild(e);
  }
}

function go(f) {
  const d = run.data;
  f = Math.max(d.first, Math.min(d.last, Math.round(f)));
  run.frame = f;
  $('scrub').value = f;
  $('clock').textContent = `${seconds(msAt(f) - msAt(d.first))} · frame ${f}`;
  drawScreen(f);
  drawValues(f);
  drawMap(f);
  markTimeline(f);
  drawCalls(f);
  run.drawnFrame = f;
  if (!d.live) history.replaceState(null, '', '#f=' + f);
}

function showAll() {
  const d = run.data;
  document.title = 'play · ' + d.title;
  $('title').textContent = d.title || 'live';
  const status = $('status');
  status.textContent = d.live ? 'live' : d.status === 0 ? 'passed' : 'failed';
  status.className = d.live ? 'live' : d.status === 0 ? 'passed' : 'failed';
  $('plugins').textContent = d.plugins.join(', ');
  // A failing run says why in full above all else.
  $('banner').hidden = d.live || !d.failure;
  if (d.failure) $('reason').textContent = `frame ${d.failure.frame}: ${d.failure.text}`;
  $('summary').textContent = d.summary.join('\n');
  buildTimeline();
  buildAxis();
}

// --- play back ----------------------------------------------------------------------
let playFrom = null;
function tick(t) {
  if (!run.playing) return;
  if (!playFrom) playFrom = { t, ms: msAt(run.frame) };
  const f = frameAt(playFrom.ms + (t - playFrom.t));
  go(f);
  if (f >= run.data.last) { stop(); return; }
  requestAnimationFrame(tick);
}
function stop() { run.playing = false; playFrom = null; $('play').textContent = '▶'; }
function togglePlay() {
  if (run.data.live) return;
  if (run.playing) { stop(); return; }
  if (run.frame >= run.data.last) go(run.data.first);
  run.playing = true;
  $('play').textContent = '❚❚';
  requestAnimationFrame(tick);
}

function bindAxis() {
  $('map').addEventListener('wheel', (e) => {
    e.preventDefault();
    zoom = Math.max(0.05, Math.min(20, zoom * (e.deltaY > 0 ? 1.25 : 0.8)));
    view = null;
    drawMap(run.frame);
  }, { passive: false });
  $('scrub').addEventListener('input', (e) => { stop(); run.follow = false; go(+e.target.value); });
  $('play').addEventListener('click', togglePlay);
  const resize = () => {
    const h = $('screen').clientHeight / 100;
    $('screen').style.setProperty('--screen-h', h + 'px');
  };
  new ResizeObserver(resize).observe($('screen'));
  resize();
}

// --- live -----------------------------------------------------------------------------
// One after another: the server takes requests on several threads, so a key's
// going up sent beside its going down could reach the game first.
let sending = Promise.resolve();
function send(input) {
  const body = JSON.stringify(input);
  sending = sending.catch(() => {}).then(() =>
    fetch('/input', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body }));
  return sending;
}
let frames = [];
async function poll() {
  let since = 0;
  for (;;) {
    try {
      const r = await fetch('/data?since=' + since);
      if (!r.ok) throw new Error('status ' + r.status);
      const delta = await r.json();
      if (delta.version === since) continue;
      const first = !run.data;
      run.data = merge(run.data, delta);
      since = delta.version;
      if (first) {
        showAll();
        bindAxis();
        bindLive();
      } else {
        $('scrub').max = run.data.last;
        buildTimeline();
        if (delta.moments.items.length) buildAxis();
        $('summary').textContent = run.data.summary.join('\n');
      }
      const now = performance.now();
      frames.push(now);
      while (frames.length && frames[0] < now - 1000) frames.shift();
      $('fps').textContent = `${frames.length} updates/s · ${run.data.paused ? 'paused' : run.data.speed + '×'}`;
      $('pause').textContent = run.data.paused ? 'go on' : 'pause';
      if (run.follow) go(run.data.last);
      document.body.dataset.frame = run.data.last;
      if (run.data.ended) { $('status').textContent = 'ended'; return; }
    } catch (e) {
      $('status').textContent = 'disconnected';
      await new Promise((res) => setTimeout(res, 500));
    }
  }
}
function bindLive() {
  $('live-controls').hidden = false;
  $('keys').hidden = false;
  const keys = run.data.keys || {};
  $('keys').textContent = 'WASD or arrows walk (Shift runs), Q/E or drag on the screen turn, a click on the map ' +
    'teleports; the screen takes the keys. Keys to controls: ' +
    Object.entries(keys).map(([c, k]) => `${k} ${c}`).join(', ') + '; every other key goes to the plug-ins.';
  for (const f of run.data.faults || []) $('fault').appendChild(new Option(f, f));
  $('fault').addEventListener('change', (e) => { if (e.target.value) send({ fault: e.target.value }); e.target.value = ''; });
  $('pause').addEventListener('click', () => send({ pause: !run.data.paused }));
  $('one').addEventListener('click', () => send({ step: 1 }));
  $('speed').addEventListener('change', (e) => send({ speed: +e.target.value }));
  $('follow').addEventListener('click', () => { run.follow = true; go(run.data.last); });
  const screen = $('screen');
  screen.focus();
  const held = new Set();
  const key = (e, down) => {
    if (e.code === 'KeyP' && down) { send({ pause: !run.data.paused }); return; }
    if (e.code === 'KeyO' && down) { send({ step: 1 }); return; }
    if (down && held.has(e.code)) { e.preventDefault(); return; }
    if (down) held.add(e.code); else held.delete(e.code);
    e.preventDefault();
    send({ key: e.code, down, t: performance.now() });
  };
  screen.addEventListener('keydown', (e) => key(e, true));
  screen.addEventListener('keyup', (e) => key(e, false));
  screen.addEventListener('blur', () => { for (const c of held) send({ key: c, down: false }); held.clear(); });
  let drag = null;
  screen.addEventListener('mousedown', (e) => { drag = e.clientX; screen.focus(); });
  window.addEventListener('mouseup', () => { drag = null; });
  window.addEventListener('mousemove', (e) => {
    if (drag === null) return;
    const turn = (drag - e.clientX) * 0.4;
    drag = e.clientX;
    if (turn) send({ turn });
  });
  $('map').addEventListener('click', (e) => {
    const m = $('map'), pt = m.createSVGPoint();
    pt.x = e.clientX;
    pt.y = e.clientY;
    const at = pt.matrixTransform(m.getScreenCTM().inverse());
    send({ teleport: [at.x, -at.y] });
    screen.focus();
  });
}

function start() {
  const text = $('report').textContent.trim();
  const data = text && text !== 'null' ? JSON.parse(text) : null;
  if (!data) { poll(); return; }
  run.data = merge(null, data);
  showAll();
  bindAxis();
  document.addEventListener('keydown', (e) => {
    if (e.target.tagName === 'INPUT' && e.target.type !== 'range') return;
    if (e.code === 'Space') { e.preventDefault(); togglePlay(); }
    if (e.code === 'ArrowRight' || e.code === 'ArrowLeft') {
      e.preventDefault();
      stop();
      go(run.frame + (e.code === 'ArrowRight' ? 1 : -1) * (e.shiftKey ? 60 : 1));
    }
  });
  const asked = /#f=(\d+)/.exec(location.hash);
  const d = run.data;
  go(asked ? +asked[1] : d.failure ? d.failure.frame : d.first);
  // When the page was ready, since it began to load: what opening it costs.
  document.body.dataset.ready = performance.now().toFixed(0);
}

start();
