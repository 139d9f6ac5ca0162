// Laying a dialog template out to fit its texts.
//
// A template places its controls in fixed pixels for the texts it was
// written with; a longer text (a translation, the browser's font) needs more
// room.  An axis map moves the template's coordinates on one axis so that
// every box gets the extent it needs: where a box needs more, everything
// after its far edge moves on by the difference, on every row, so columns
// stay lined up, frames around the box grow with it and the dialog grows at
// its edge.  With no box needing more the map is the identity.
'use strict';

(function (exports) {
  class AxisMap {
    constructor(edges) { this.edges = edges || []; }  // [{at, offset}] by coordinate

    // spans: [{start, size, need}]
    static fit(spans) {
      const byEnd = new Map();
      for (const s of spans) {
        if (s.need > s.size && s.size >= 0) {
          const end = s.start + s.size;
          if (!byEnd.has(end)) byEnd.set(end, []);
          byEnd.get(end).push(s);
        }
      }
      const map = new AxisMap();
      for (const end of [...byEnd.keys()].sort((a, b) => a - b)) {
        let offset = map.map(end) - end;
        for (const s of byEnd.get(end)) offset = Math.max(offset, map.map(s.start) + s.need - end);
        const last = map.edges.length ? map.edges[map.edges.length - 1].offset : 0;
        if (offset > 0 && offset > last) map.edges.push({ at: end, offset });
      }
      return map;
    }

    // Where a template coordinate goes: the offset of the last edge at or
    // before it applies.
    map(x) {
      let offset = 0;
      for (const e of this.edges) {
        if (e.at > x) break;
        offset = e.offset;
      }
      return x + offset;
    }

    extent(start, size) { return this.map(start + size) - this.map(start); }
  }

  // Of visible controls at the very same place and of the same kind, the one
  // later in the template covers the others (the window system paints its
  // opaque controls in that order): the ids covered.
  function coveredControls(controls) {
    const covered = new Set();
    for (let i = 0; i < controls.length; ++i) {
      const a = controls[i];
      if (!a.visible || a.kind === 'background') continue;
      for (let j = i + 1; j < controls.length; ++j) {
        const b = controls[j];
        if (b.visible && b.kind === a.kind && b.x === a.x && b.y === a.y && b.w === a.w && b.h === a.h) {
          covered.add(a.id);
          break;
        }
      }
    }
    return covered;
  }

  const FIELD_KINDS = new Set(['edit', 'combo', 'list', 'reportlist', 'slider', 'timeedit', 'calendar', 'progress']);

  // A field's label: the static text before it in the template that sits on
  // its line or just above it; else a static text just left of it on its
  // line.  Returns Map(field id -> label control).
  function labelsOf(controls) {
    const sameLine = (a, b) => a.y < b.y + Math.max(b.h, 1) && a.y + Math.max(a.h, 1) > b.y;
    const out = new Map();
    let label = null;
    for (const c of controls) {
      if (c.kind === 'static') {
        label = c.text ? c : null;
        continue;
      }
      if (FIELD_KINDS.has(c.kind)) {
        const above = label && label.y + label.h <= c.y && c.y - (label.y + label.h) < 24;
        if (label && (sameLine(label, c) || above)) {
          out.set(c.id, label);
        } else {
          let left = null;
          for (const s of controls) {
            if (s.kind !== 'static' || !s.text || !sameLine(s, c)) continue;
            const gap = c.x - (s.x + s.w);
            if (gap < -4 || gap > 24) continue;
            if (!left || s.x > left.x) left = s;
          }
          if (left) out.set(c.id, left);
        }
      }
      if (c.kind !== 'group' && c.kind !== 'panel') label = null;
    }
    return out;
  }

  // How far right control c may widen on its line without running into
  // another control (frames around it do not count) or past the pane's edge,
  // in template coordinates mapped by map.
  function roomRight(c, controls, map, paneWidth, shown) {
    let limit = Math.max(paneWidth, map.map(c.x + c.w));
    for (const o of controls) {
      if (o.id === c.id || !shown(o)) continue;
      const oh = Math.max(o.h, 1), ch = Math.max(c.h, 1);
      const contains = o.x <= c.x && o.y <= c.y && o.x + Math.max(o.w, 1) >= c.x + c.w && o.y + oh >= c.y + ch;
      if (contains) continue;
      if (o.y > c.y + ch - 1 || o.y + oh - 1 < c.y) continue;
      if (o.x >= c.x + c.w / 2) limit = Math.min(limit, map.map(o.x) - 2);
    }
    return limit;
  }

  // Rows of push buttons whose last button ends this close to the right
  // edge stay at that edge, each as wide as its text needs (OK, Cancel, Help).
  function anchorButtonRows(places, controls, needs, mapX, paneWidth, shown) {
    const rows = new Map();
    for (const c of controls) {
      if (c.kind !== 'button' || !shown(c)) continue;
      const key = c.y + ':' + c.h;
      if (!rows.has(key)) rows.set(key, []);
      rows.get(key).push(c);
    }
    for (const row of rows.values()) {
      row.sort((a, b) => a.x - b.x);
      const last = row[row.length - 1];
      const margin = paneWidth - (last.x + last.w);
      if (margin < 0 || margin > 24) continue;
      let right = mapX.map(paneWidth) - margin;
      for (let i = row.length - 1; i >= 0; --i) {
        const c = row[i];
        const width = Math.max(c.w, needs.get(c.id) || 0);
        const p = places.get(c.id);
        p.x = right - width;
        p.w = width;
        if (i > 0) right = p.x - (c.x - (row[i - 1].x + row[i - 1].w));
      }
    }
  }

  exports.AxisMap = AxisMap;
  exports.coveredControls = coveredControls;
  exports.labelsOf = labelsOf;
  exports.roomRight = roomRight;
  exports.anchorButtonRows = anchorButtonRows;
})(typeof module !== 'undefined' ? module.exports : (window.MirelleLayout = {}));
