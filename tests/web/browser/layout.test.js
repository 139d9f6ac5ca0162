// The page's layout rules without a browser: node --test layout.test.js
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const L = require('../../../web/page/layout.js');

test('an axis map moves what lies after a box that needs more room', () => {
  const cases = [
    // spans, coordinates, where they go
    { spans: [], at: [0, 50, 100], want: [0, 50, 100] },
    { spans: [{ start: 10, size: 40, need: 30 }], at: [0, 50, 100], want: [0, 50, 100] },  // fits
    { spans: [{ start: 10, size: 40, need: 60 }], at: [0, 10, 49, 50, 100], want: [0, 10, 49, 70, 120] },
    // Two boxes on one row: the second moves by the first's growth, then grows itself.
    { spans: [{ start: 0, size: 20, need: 30 }, { start: 30, size: 20, need: 40 }], at: [20, 30, 50, 60], want: [30, 40, 80, 90] },
    // Boxes on different rows ending at the same edge: the larger need wins.
    { spans: [{ start: 0, size: 50, need: 60 }, { start: 20, size: 30, need: 50 }], at: [50, 80], want: [70, 100] },
    // A box inside another that grows: the frame grows with it.
    { spans: [{ start: 10, size: 20, need: 40 }], at: [0, 30, 100], want: [0, 50, 120] },
  ];
  for (const c of cases) {
    const map = L.AxisMap.fit(c.spans);
    assert.deepEqual(c.at.map((x) => map.map(x)), c.want, JSON.stringify(c.spans));
  }
  const map = L.AxisMap.fit([{ start: 10, size: 40, need: 60 }]);
  assert.equal(map.extent(10, 40), 60);
});

test('of controls at the same place the later one covers the earlier', () => {
  const c = (id, kind, x, visible = true) => ({ id, kind, x, y: 5, w: 50, h: 14, visible });
  const cases = [
    { list: [c(1, 'edit', 0), c(2, 'edit', 0)], want: [1] },
    { list: [c(1, 'edit', 0), c(2, 'combo', 0)], want: [] },         // another kind
    { list: [c(1, 'edit', 0), c(2, 'edit', 0, false)], want: [] },   // the later one hidden
    { list: [c(1, 'edit', 0), c(2, 'edit', 1)], want: [] },          // not the same place
    { list: [c(1, 'edit', 0), c(2, 'edit', 0), c(3, 'edit', 0)], want: [1, 2] },
  ];
  for (const t of cases) assert.deepEqual([...L.coveredControls(t.list)].sort(), t.want);
});

test('a field is named by the label on its line, above it or left of it', () => {
  const s = (id, text, x, y, w = 40, h = 13) => ({ id, kind: 'static', text, x, y, w, h, visible: true });
  const f = (id, kind, x, y, w = 80, h = 14) => ({ id, kind, x, y, w, h, visible: true });
  const names = (list) => Object.fromEntries([...L.labelsOf(list)].map(([id, l]) => [id, l.text]));
  assert.deepEqual(names([s(1, 'Name:', 0, 0), f(2, 'edit', 45, 0)]), { 2: 'Name:' });
  assert.deepEqual(names([s(1, 'Cameras:', 0, 0), f(2, 'reportlist', 0, 16, 200, 80)]), { 2: 'Cameras:' });
  // Too far below: no name.
  assert.deepEqual(names([s(1, 'Far:', 0, 0), f(2, 'edit', 0, 60)]), {});
  // A button between label and field breaks the pairing; the static left of it on its line names it.
  assert.deepEqual(names([s(1, 'Port:', 0, 30), s(3, 'Top', 0, 0), f(4, 'button', 50, 0), f(2, 'edit', 45, 30)]), { 2: 'Port:' });
  // Check boxes and buttons name themselves.
  assert.deepEqual(names([s(1, 'Label', 0, 0), f(2, 'check', 45, 0)]), {});
  // A group box between a label and its field does not break the pairing.
  assert.deepEqual(names([s(1, 'Level:', 0, 0), f(5, 'group', 0, 0, 200, 60), f(2, 'slider', 45, 0)]), { 2: 'Level:' });
});

test('a row of buttons at the right edge stays there, each as wide as its text', () => {
  const b = (id, x) => ({ id, kind: 'button', x, y: 100, w: 50, h: 14, visible: true });
  const list = [b(1, 90), b(2, 145), b(9, 200)];  // ends 250 of 260: anchored
  const places = new Map(list.map((c) => [c.id, { x: c.x, y: c.y, w: c.w, h: c.h }]));
  const needs = new Map([[1, 30], [2, 80], [9, 40]]);
  L.anchorButtonRows(places, list, needs, L.AxisMap.fit([]), 260, () => true);
  assert.deepEqual([1, 2, 9].map((id) => [places.get(id).x, places.get(id).w]), [[60, 50], [115, 80], [200, 50]]);
  // A row far from the edge keeps its places.
  const left = [b(1, 0), b(2, 55)];
  const p2 = new Map(left.map((c) => [c.id, { x: c.x, y: c.y, w: c.w, h: c.h }]));
  L.anchorButtonRows(p2, left, new Map([[2, 90]]), L.AxisMap.fit([]), 260, () => true);
  assert.deepEqual([p2.get(1).x, p2.get(2).x, p2.get(2).w], [0, 55, 50]);
});

test('a control widens into free room on its line, not over its neighbour', () => {
  const c = { id: 1, kind: 'static', x: 0, y: 0, w: 40, h: 13, visible: true };
  const next = { id: 2, kind: 'edit', x: 60, y: 0, w: 50, h: 14, visible: true };
  const below = { id: 3, kind: 'edit', x: 10, y: 30, w: 50, h: 14, visible: true };
  const frame = { id: 4, kind: 'group', x: 0, y: 0, w: 200, h: 60, visible: true };
  const id = L.AxisMap.fit([]);
  assert.equal(L.roomRight(c, [c, next, below, frame], id, 200, () => true), 58);
  assert.equal(L.roomRight(c, [c, below, frame], id, 200, () => true), 200);
  assert.equal(L.roomRight(c, [c, next], id, 200, (o) => o.id !== 2), 200);  // the neighbour hidden
});
