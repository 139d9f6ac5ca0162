// The browser console: renders the dialogs the server sends and hands the
// operator's actions back as lines of the script language (one `set` when a
// field is left, `click ID`, `tick ID 0|1`, `select ID N`, ...), exactly as a
// mirelle-run script has them.  The server answers with what changed.
'use strict';

(function () {
  const L = window.MirelleLayout;
  const $ = (id) => document.getElementById(id);

  // The templates are laid out for an 11 px font; the page draws them at
  // this size times a scale that fits the dialog into the window.
  const BASE_FONT = 11;
  const LINE = 13;           // one line of text, in template pixels
  const MIN_SCALE = 1.1;     // below this the controls go into one column
  const MAX_SCALE = 1.6;
  const TOUCH_TARGET = 44;   // px, for coarse pointers
  const FONT_FAMILY = '"DejaVu Sans", "Liberation Sans", Arial, sans-serif';

  const coarse = window.matchMedia('(pointer: coarse)');

  const state = {
    ws: null,
    user: '',
    role: 'watcher',
    holder: null,
    running: null,
    recording: false,
    dialogs: [],          // bottom first
    boxes: [],            // open message boxes
    retry: 0,
    pings: 0,             // pings sent and not answered yet
    lastOperation: '',
    actionAt: 0,
    firstDialogAt: 0,
    repaints: [],
  };

  // Timings a benchmark reads: page load to the first dialog drawn, and an
  // action's send to the repaint that shows the server's answer.
  // The parts: the socket open, the first dialog's message in, the time
  // from an action to the server's answer in.
  window.mirelleTimings = { firstDialog: 0, repaints: state.repaints, socketOpen: 0, dialogMessage: 0, answers: [] };

  // ---- text measuring ----------------------------------------------------------
  const canvas = document.createElement('canvas');
  const ctx = canvas.getContext('2d');
  ctx.font = BASE_FONT + 'px ' + FONT_FAMILY;
  const widthCache = new Map();
  function textWidth(text) {
    let w = widthCache.get(text);
    if (w === undefined) {
      w = Math.ceil(ctx.measureText(text).width);
      if (widthCache.size > 5000) widthCache.clear();
      widthCache.set(text, w);
    }
    return w;
  }
  function linesWidth(text) {
    let w = 0;
    for (const line of text.split('\n')) w = Math.max(w, textWidth(line));
    return w;
  }
  // Lines the text takes wrapped at width (template pixels).
  function wrappedLines(text, width) {
    let lines = 0;
    for (const para of text.split('\n')) {
      const words = para.split(/\s+/).filter(Boolean);
      let line = '';
      lines += 1;
      for (const word of words) {
        const next = line ? line + ' ' + word : word;
        if (line && textWidth(next) > width) {
          lines += 1;
          line = word;
        } else {
          line = next;
        }
      }
    }
    return Math.max(lines, 1);
  }

  // Windows-style "&" mnemonics are shown without the ampersand.
  function caption(text) {
    return String(text || '').replace(/&&/g, '\u0001').replace(/&/g, '').replace(/\u0001/g, '&');
  }
  function labelName(text) {
    return caption(text).trim().replace(/:$/, '');
  }

  // ---- socket ------------------------------------------------------------------
  function setInflight() {
    document.body.dataset.inflight = String(state.pings);
  }

  function send(msg) {
    if (!state.ws || state.ws.readyState !== WebSocket.OPEN) {
      showError('Not connected: the action was not sent.');
      return false;
    }
    state.ws.send(JSON.stringify(msg));
    if (msg.type !== 'ping') {
      // The answer to the ping comes after the server handled the message:
      // the page knows when the server is done with what it sent.
      state.ws.send(JSON.stringify({ type: 'ping' }));
      state.pings += 1;
      setInflight();
    }
    return true;
  }

  // One operator action on the top dialog, in the script language.
  function act(line, options) {
    if (state.role !== 'holder') return;
    if (!(options && options.noFlush)) flushPending(options && options.except);
    clearDialogError();
    state.actionAt = performance.now();
    send({ type: 'action', line });
  }

  function connect() {
    const url = (location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/ws';
    const ws = new WebSocket(url);
    state.ws = ws;
    setConnection('Connecting...');
    ws.onopen = () => {
      if (!state.openedAt) state.openedAt = window.mirelleTimings.socketOpen = performance.now();
      state.retry = 0;
      state.pings = 0;
      setInflight();
      setConnection('Connected');
    };
    ws.onmessage = (ev) => {
      let msg;
      try {
        msg = JSON.parse(ev.data);
      } catch (e) {
        return;
      }
      handle(msg);
    };
    ws.onclose = () => {
      if (state.ws !== ws) return;
      state.ws = null;
      state.pings = 0;
      setInflight();
      setConnection('Connection lost: reconnecting...', true);
      // A session that ended needs a new login.
      fetch('/whoami', { credentials: 'same-origin' }).then((r) => {
        if (r.status === 401) location.href = '/login';
        else reconnectLater();
      }, reconnectLater);
    };
  }
  function reconnectLater() {
    state.retry = Math.min(state.retry + 1, 5);
    setTimeout(connect, state.retry * 1000);
  }
  function setConnection(text, bad) {
    const el = $('connection');
    el.textContent = text;
    el.classList.toggle('bad', !!bad);
  }

  // ---- messages ------------------------------------------------------------------
  function handle(msg) {
    window.mirelleTimings.lastMessage = performance.now();
    switch (msg.type) {
      case 'hello': onHello(msg); break;
      case 'dialog': onDialog(msg); break;
      case 'update': onUpdate(msg); break;
      case 'closed': onClosed(msg); break;
      case 'message': onMessageBox(msg); break;
      case 'messageClosed': onMessageClosed(msg); break;
      case 'live': onLive(msg); break;
      case 'log': appendLog(msg.line); break;
      case 'unit': showUnit(msg.data, msg.changed || []); break;
      case 'result': onResult(msg); break;
      case 'recording': onRecording(msg); break;
      case 'error': onError(msg); break;
      case 'running':
        state.running = msg.operation || true;
        state.lastOperation = msg.operation || state.lastOperation;
        showHolder();
        break;
      case 'holder': state.holder = msg.holder || null; showHolder(); break;
      case 'role': state.role = msg.role; showHolder(); break;
      case 'pong':
        state.pings = Math.max(0, state.pings - 1);
        if (state.pings === 0 && top()) {
          // The server has handled everything sent: what the page showed
          // ahead of its answer (a box ticked that the dialog ticked back)
          // is as the dialog has it.
          resyncDialog(top(), false);
        }
        setInflight();
        break;
      default: break;  // newer messages this page does not know
    }
  }

  function onHello(msg) {
    state.user = msg.user || '';
    state.role = msg.role || 'watcher';
    state.holder = msg.holder || null;
    state.running = msg.running || null;
    state.recording = !!msg.recording;
    $('user').textContent = state.user;
    $('record').checked = state.recording;
    // The server sends the whole dialog stack after this.
    for (const d of state.dialogs) d.el.remove();
    state.dialogs = [];
    for (const b of state.boxes) b.el.remove();
    state.boxes = [];
    showGroups(msg.groups || []);
    showHolder();
    showStage();
  }

  function showGroups(groups) {
    const host = $('groups');
    host.textContent = '';
    for (const g of groups) {
      const box = document.createElement('section');
      box.className = 'group-box';
      const h = document.createElement('h3');
      h.textContent = g.name;
      box.appendChild(h);
      for (const s of g.setups || []) {
        const b = document.createElement('button');
        b.type = 'button';
        b.className = 'btn setup';
        b.textContent = s.title;
        b.title = s.operation;
        b.dataset.operation = s.operation;
        b.addEventListener('click', () => {
          state.lastOperation = s.operation;
          send({ type: 'run', operation: s.operation });
        });
        box.appendChild(b);
      }
      host.appendChild(box);
    }
  }

  function showHolder() {
    const holder = state.holder;
    const watcher = state.role !== 'holder';
    document.body.classList.toggle('watcher', watcher);
    const bar = $('holder');
    const text = $('holder-text');
    if (!watcher) {
      bar.hidden = false;
      text.textContent = 'You hold the setup' + (holder && holder.since ? ' since ' + when(holder.since) : '') + '.';
      $('take').hidden = true;
      $('handover-row').hidden = false;
    } else {
      bar.hidden = false;
      text.textContent = holder
        ? 'Watching: ' + holder.user + ' holds the setup since ' + when(holder.since) + '. Read-only.'
        : 'Nobody holds the setup. Read-only until you take it over.';
      $('take').hidden = !!holder;
      $('handover-row').hidden = true;
    }
    for (const id of ['reset', 'record', 'save-recording']) $(id).disabled = watcher;
    for (const b of document.querySelectorAll('#groups button')) b.disabled = watcher || !!state.running;
    for (const d of state.dialogs) d.el.inert = watcher || d !== top() || state.boxes.length > 0;
  }

  function when(iso) {
    const d = new Date(iso);
    if (isNaN(d.getTime())) return String(iso || '');
    return d.toLocaleString();
  }

  function onResult(msg) {
    state.running = null;
    showHolder();
    showStage();
  }

  function onRecording(msg) {
    state.recording = !!msg.on;
    $('record').checked = state.recording;
    if (state.wantRecording) {
      state.wantRecording = false;
      const script = msg.script || '';
      if (!script) {
        appendLog('nothing recorded yet: tick Record, then run a setup');
        return;
      }
      const m = /^# operation: *(\S+)/.exec(script);
      const name = (m ? m[1] : 'recording') + '.script';
      const url = URL.createObjectURL(new Blob([script], { type: 'text/plain' }));
      const a = document.createElement('a');
      a.href = url;
      a.download = name;
      document.body.appendChild(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(url), 10000);
    }
  }

  function onError(msg) {
    const text = msg.text || 'refused';
    const d = top();
    if (d && !d.el.hidden) {
      d.errorEl.textContent = text;
      d.errorEl.hidden = false;
      // The dialog stays as the server has it: what the page showed ahead
      // of the answer goes back.
      resyncDialog(d);
    } else {
      showError(text);
    }
    appendLog('error: ' + text + (msg.action ? ' (' + msg.action + ')' : ''));
  }

  function showError(text) {
    const host = $('errors');
    const div = document.createElement('div');
    div.className = 'error';
    const span = document.createElement('span');
    span.textContent = text;
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'btn btn-small';
    close.textContent = 'Dismiss';
    close.addEventListener('click', () => div.remove());
    div.append(span, close);
    host.appendChild(div);
    while (host.children.length > 3) host.firstChild.remove();
  }

  function clearDialogError() {
    const d = top();
    if (d) d.errorEl.hidden = true;
  }

  // ---- log and unit --------------------------------------------------------------
  function appendLog(line) {
    const log = $('log');
    const div = document.createElement('div');
    div.textContent = line;
    if (line.startsWith('==')) div.className = 'log-head';
    else if (line.startsWith('result:')) div.className = 'log-result';
    else if (/^(error|refused|fail):/.test(line)) div.className = 'log-error';
    log.appendChild(div);
    while (log.childNodes.length > 3000) log.firstChild.remove();
    log.scrollTop = log.scrollHeight;
  }

  function escapePointer(key) {
    return String(key).replace(/~/g, '~0').replace(/\//g, '~1');
  }

  function showUnit(data, changed) {
    const host = $('unit');
    const open = new Set();
    for (const d of host.querySelectorAll('details[open]')) open.add(d.dataset.pointer);
    const marked = new Set(changed);
    const onPath = new Set();
    for (const p of changed) {
      const parts = p.split('/');
      for (let i = 1; i < parts.length; ++i) onPath.add(parts.slice(0, i).join('/'));
    }
    host.textContent = '';
    const build = (value, key, pointer, depth) => {
      const isObj = value !== null && typeof value === 'object';
      if (!isObj) {
        const row = document.createElement('div');
        row.className = 'leaf' + (marked.has(pointer) ? ' changed' : '');
        const k = document.createElement('span');
        k.className = 'key';
        k.textContent = key;
        const v = document.createElement('span');
        v.className = 'value';
        v.textContent = JSON.stringify(value);
        if (v.textContent.length > 60) {
          // A long text shows its start; a click shows it whole.
          v.classList.add('long');
          v.tabIndex = 0;
          v.setAttribute('role', 'button');
          v.setAttribute('aria-expanded', 'false');
          const flip = () => {
            const open = v.classList.toggle('expanded');
            v.setAttribute('aria-expanded', open ? 'true' : 'false');
          };
          v.addEventListener('click', flip);
          v.addEventListener('keydown', (ev) => {
            if (ev.key === 'Enter' || ev.key === ' ') { ev.preventDefault(); flip(); }
          });
        }
        row.append(k, v);
        row.setAttribute('role', 'treeitem');
        return row;
      }
      const det = document.createElement('details');
      det.dataset.pointer = pointer;
      det.setAttribute('role', 'treeitem');
      if (depth === 0 || open.has(pointer) || onPath.has(pointer) || marked.has(pointer)) det.open = true;
      if (marked.has(pointer) || onPath.has(pointer)) det.classList.add(marked.has(pointer) ? 'changed' : 'has-changed');
      const sum = document.createElement('summary');
      const k = document.createElement('span');
      k.className = 'key';
      k.textContent = key;
      const n = document.createElement('span');
      n.className = 'count';
      n.textContent = Array.isArray(value) ? '[' + value.length + ']' : '{' + Object.keys(value).length + '}';
      sum.append(k, n);
      det.appendChild(sum);
      const entries = Array.isArray(value) ? value.map((v, i) => [String(i), v]) : Object.entries(value);
      const list = document.createElement('div');
      list.className = 'children';
      list.setAttribute('role', 'group');
      for (const [ck, cv] of entries) list.appendChild(build(cv, ck, pointer + '/' + escapePointer(ck), depth + 1));
      det.appendChild(list);
      return det;
    };
    if (data !== undefined && data !== null) host.appendChild(build(data, 'unit', '', 0));
  }

  // ---- dialogs -------------------------------------------------------------------
  function top() { return state.dialogs.length ? state.dialogs[state.dialogs.length - 1] : null; }
  function findDialog(n) { return state.dialogs.find((d) => d.dialog === n) || null; }

  function showStage() {
    const busy = state.dialogs.length > 0;
    $('start').hidden = busy;
    $('dialogs').hidden = !busy;
    state.dialogs.forEach((d, i) => {
      d.el.hidden = i !== state.dialogs.length - 1;
      d.el.classList.toggle('top', i === state.dialogs.length - 1);
    });
    const t = top();
    if (t) {
      const trail = state.dialogs.slice(0, -1).map((d) => d.caption).filter(Boolean);
      t.trailEl.textContent = trail.join(' \u203a ');
      t.trailEl.hidden = trail.length === 0;
    }
    showHolder();
  }

  // A pane: the controls of a dialog's own template or of the active page.
  function newPane(d, isPage) {
    const body = document.createElement('div');
    body.className = isPage ? 'page-body' : 'dialog-body';
    return { d, isPage, body, controls: new Map(), order: [], entries: new Map(), needX: new Map(), needY: new Map() };
  }

  function onDialog(msg) {
    if (!window.mirelleTimings.dialogMessage) window.mirelleTimings.dialogMessage = performance.now();
    const old = findDialog(msg.dialog);
    if (old) {
      old.el.remove();
      state.dialogs.splice(state.dialogs.indexOf(old), 1);
    }
    const d = {
      dialog: msg.dialog,
      templateId: msg.templateId,
      caption: msg.caption || '',
      width: msg.width || 0,
      height: msg.height || 0,
      keyboard: msg.keyboard || { shown: false, keys: '' },
      defaultButton: msg.defaultButton || 0,
      focus: msg.focus || 0,
      focusSeq: msg.focusSeq,
      sheet: null,
      lastEdit: null,
    };
    buildDialogShell(d);
    showBusy(d, !!msg.busy);
    d.frame = newPane(d, false);
    d.bodyHost.appendChild(d.frame.body);
    for (const c of msg.controls || []) addControl(d.frame, c);
    if (msg.sheet) setSheet(d, msg.sheet, true);
    state.dialogs.push(d);
    $('dialogs').appendChild(d.el);
    state.running = state.running || state.lastOperation || true;
    showStage();
    layoutDialog(d);
    applyFocus(d, true);
    if (!state.firstDialogAt) {
      requestAnimationFrame(() => {
        state.firstDialogAt = performance.now();
        window.mirelleTimings.firstDialog = state.firstDialogAt;
      });
    }
  }

  // A worker of the dialog runs (a volume being added).
  function showBusy(d, busy) {
    d.busy = busy;
    d.el.dataset.busy = busy ? 'true' : 'false';
    d.el.setAttribute('aria-busy', busy ? 'true' : 'false');
    d.busyEl.hidden = !busy;
  }

  function buildDialogShell(d) {
    const el = document.createElement('section');
    el.className = 'dialog';
    el.setAttribute('role', 'dialog');
    el.setAttribute('aria-modal', 'true');
    el.dataset.dialog = String(d.dialog);
    el.dataset.template = String(d.templateId);
    const title = document.createElement('div');
    title.className = 'dialog-title';
    const cap = document.createElement('h2');
    cap.id = 'dialog-caption-' + d.dialog;
    cap.textContent = d.caption;
    el.setAttribute('aria-labelledby', cap.id);
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'dialog-close';
    close.setAttribute('aria-label', 'Close');
    close.textContent = '\u00d7';
    close.addEventListener('click', () => act('close'));
    const busy = document.createElement('span');
    busy.className = 'dialog-busy';
    busy.textContent = 'Working...';
    busy.setAttribute('role', 'status');
    busy.hidden = true;
    title.append(cap, busy, close);
    const trail = document.createElement('div');
    trail.className = 'dialog-trail';
    trail.hidden = true;
    const err = document.createElement('div');
    err.className = 'dialog-error';
    err.setAttribute('role', 'alert');
    err.hidden = true;
    const bodyHost = document.createElement('div');
    bodyHost.className = 'dialog-frame';
    const kb = document.createElement('div');
    kb.className = 'keyboard';
    kb.hidden = true;
    kb.setAttribute('role', 'group');
    kb.setAttribute('aria-label', 'On-screen keyboard');
    el.append(trail, title, err, bodyHost, kb);
    el.addEventListener('keydown', (ev) => onDialogKey(d, ev));
    el.addEventListener('focusin', (ev) => {
      const t = ev.target;
      if (t.matches && t.matches('input[type=text], input[type=password], textarea')) d.lastEdit = t;
    });
    d.el = el;
    d.capEl = cap;
    d.busyEl = busy;
    d.trailEl = trail;
    d.errorEl = err;
    d.bodyHost = bodyHost;
    d.kbEl = kb;
  }

  function setSheet(d, sheet, whole) {
    if (whole || !d.sheet) {
      if (d.sheet && d.sheet.el) d.sheet.el.remove();
      d.sheet = {
        x: sheet.x, y: sheet.y, width: sheet.width, height: sheet.height,
        pages: sheet.pages || [], activePage: sheet.activePage || 0, focus: sheet.focus || 0,
      };
      const el = document.createElement('div');
      el.className = 'sheet';
      const tabs = document.createElement('div');
      tabs.className = 'tabs';
      tabs.setAttribute('role', 'tablist');
      el.appendChild(tabs);
      d.sheet.el = el;
      d.sheet.tabsEl = tabs;
      d.frame.body.appendChild(el);
      d.sheet.pane = newPane(d, true);
      el.appendChild(d.sheet.pane.body);
      d.sheet.pageNeeds = [];
    } else {
      if (sheet.pages) d.sheet.pages = sheet.pages;
      if (sheet.activePage !== undefined) d.sheet.activePage = sheet.activePage;
      if (sheet.focus !== undefined) d.sheet.focus = sheet.focus;
      for (const k of ['x', 'y', 'width', 'height']) if (sheet[k] !== undefined) d.sheet[k] = sheet[k];
    }
    if (sheet.controls) {
      // A new page in front: its controls whole.
      const pane = d.sheet.pane;
      for (const e of pane.entries.values()) e.root.remove();
      pane.controls.clear();
      pane.entries.clear();
      pane.order = [];
      pane.needX.clear();
      pane.needY.clear();
      for (const c of sheet.controls) addControl(pane, c);
    }
    showTabs(d);
  }

  function showTabs(d) {
    const s = d.sheet;
    const tabs = s.tabsEl;
    const key = JSON.stringify(s.pages);
    if (s.tabsKey === key) {
      [...tabs.children].forEach((b, i) => {
        b.setAttribute('aria-selected', i === s.activePage ? 'true' : 'false');
        b.tabIndex = i === s.activePage ? 0 : -1;
      });
      return;
    }
    s.tabsKey = key;
    tabs.textContent = '';
    s.pages.forEach((title, i) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'tab';
      b.setAttribute('role', 'tab');
      b.textContent = caption(title);
      b.dataset.page = title;
      const active = i === s.activePage;
      b.setAttribute('aria-selected', active ? 'true' : 'false');
      b.tabIndex = active ? 0 : -1;
      b.addEventListener('click', () => {
        if (i !== d.sheet.activePage) act('page ' + title);
      });
      b.addEventListener('keydown', (ev) => {
        const step = ev.key === 'ArrowRight' ? 1 : ev.key === 'ArrowLeft' ? -1 : 0;
        if (!step) return;
        ev.preventDefault();
        const n = s.pages.length;
        const next = (s.activePage + step + n) % n;
        act('page ' + s.pages[next]);
      });
      tabs.appendChild(b);
    });
  }

  function onUpdate(msg) {
    const d = findDialog(msg.dialog);
    if (!d) return;
    if (msg.caption !== undefined) {
      d.caption = msg.caption;
      d.capEl.textContent = msg.caption;
    }
    for (const k of ['width', 'height', 'keyboard', 'defaultButton']) if (msg[k] !== undefined) d[k] = msg[k];
    if (msg.busy !== undefined) showBusy(d, msg.busy);
    let refocus = false;
    if (msg.focus !== undefined) { d.focus = msg.focus; refocus = true; }
    if (msg.focusSeq !== undefined && msg.focusSeq !== d.focusSeq) { d.focusSeq = msg.focusSeq; refocus = true; }
    applyChanges(d.frame, msg.changes, msg.added, msg.removed);
    if (msg.sheet) {
      const pageChanged = msg.sheet.activePage !== undefined && d.sheet && msg.sheet.activePage !== d.sheet.activePage;
      setSheet(d, msg.sheet, !d.sheet);
      if (pageChanged || msg.sheet.focus !== undefined) refocus = true;
    }
    if (d.sheet && msg.sheetFocus !== undefined) {
      d.sheet.focus = msg.sheetFocus;
      refocus = true;
    }
    if (d.sheet) applyChanges(d.sheet.pane, msg.sheetChanges, msg.sheetAdded, msg.sheetRemoved);
    layoutDialog(d);
    if (refocus) applyFocus(d, false);
    if (d === top()) markRepaint();
  }

  function markRepaint() {
    if (!state.actionAt) return;
    const from = state.actionAt;
    window.mirelleTimings.answers.push(performance.now() - from);
    state.actionAt = 0;
    requestAnimationFrame(() => {
      // The frame after the one that drew the change: the change is on screen.
      setTimeout(() => {
        state.repaints.push(performance.now() - from);
        if (state.repaints.length > 10000) state.repaints.splice(0, 5000);
      }, 0);
    });
  }

  function applyChanges(pane, changes, added, removed) {
    for (const id of removed || []) {
      const e = pane.entries.get(id);
      if (e) e.root.remove();
      pane.entries.delete(id);
      pane.controls.delete(id);
      pane.order = pane.order.filter((x) => x !== id);
    }
    for (const c of added || []) addControl(pane, c);
    for (const ch of changes || []) {
      const c = pane.controls.get(ch.id);
      if (!c) continue;
      // A control that turned into another kind of widget is made anew.
      const remake = ['kind', 'paneGrid', 'spin', 'multiline', 'checkBoxes'].some((k) => k in ch && ch[k] !== c[k]);
      Object.assign(c, ch);
      if (remake) {
        const old = pane.entries.get(c.id);
        const e = makeControl(pane, c);
        if (old) {
          if (e) old.root.replaceWith(e.root);
          else old.root.remove();
        }
        if (e) pane.entries.set(c.id, e);
        else pane.entries.delete(c.id);
      }
      syncControl(pane, c);
    }
  }

  function onClosed(msg) {
    const d = findDialog(msg.dialog);
    if (!d) return;
    d.el.remove();
    state.dialogs.splice(state.dialogs.indexOf(d), 1);
    showStage();
    const t = top();
    if (t) {
      layoutDialog(t);
      applyFocus(t, true);
    }
    markRepaint();
  }

  function onLive(msg) {
    const d = findDialog(msg.dialog);
    if (!d) return;
    const pane = msg.page && d.sheet ? d.sheet.pane : d.frame;
    const c = pane.controls.get(msg.id) || (d.sheet && d.sheet.pane.controls.get(msg.id));
    if (!c) return;
    if (msg.position !== undefined) c.position = msg.position;
    if (msg.ticked !== undefined) c.ticked = msg.ticked;
    const p = pane.controls.has(msg.id) ? pane : d.sheet.pane;
    syncControl(p, c);
  }

  function resyncDialog(d, force = true) {
    for (const pane of [d.frame, d.sheet && d.sheet.pane]) {
      if (!pane) continue;
      for (const c of pane.controls.values()) syncControl(pane, c, force);
    }
    if (d.sheet) showTabs(d);
  }

  // ---- controls ------------------------------------------------------------------
  function addControl(pane, c) {
    c = Object.assign({ enabled: true, visible: true, text: '', items: [], selection: -1, position: 0, range: [0, 100] }, c);
    pane.controls.set(c.id, c);
    if (!pane.order.includes(c.id)) pane.order.push(c.id);
    const e = makeControl(pane, c);
    if (!e) return;
    pane.entries.set(c.id, e);
    syncControl(pane, c);
  }

  function cellText(item, col) {
    if (Array.isArray(item)) return item[col] !== undefined ? String(item[col]) : '';
    return col === 0 ? String(item) : '';
  }

  function elementId(pane, id) {
    return 'c' + pane.d.dialog + (pane.isPage ? 'p' : 'f') + id;
  }

  function makeControl(pane, c) {
    const d = pane.d;
    const id = c.id;
    const e = { kind: c.kind, root: null, input: null };
    const root = (tag, cls) => {
      const el = document.createElement(tag);
      el.className = 'ctl ' + cls;
      el.dataset.cid = String(id);
      e.root = el;
      return el;
    };
    switch (c.kind) {
      case 'button': {
        const b = root('button', 'button');
        b.type = 'button';
        b.id = elementId(pane, id);
        b.addEventListener('click', () => act('click ' + id));
        e.input = b;
        break;
      }
      case 'check':
      case 'radio': {
        const l = root('label', c.kind);
        const i = document.createElement('input');
        i.type = c.kind === 'check' ? 'checkbox' : 'radio';
        i.id = elementId(pane, id);
        const span = document.createElement('span');
        span.className = 'text';
        l.append(i, span);
        if (c.kind === 'radio') {
          // A radio button is clicked also when it is on already, as a
          // button of the window system is.
          i.addEventListener('click', () => act('click ' + id));
        } else {
          i.addEventListener('change', () => act('tick ' + id + ' ' + (i.checked ? 1 : 0)));
        }
        e.input = i;
        e.text = span;
        break;
      }
      case 'edit':
      case 'timeedit': {
        const multi = c.kind === 'edit' && c.multiline;
        const wrap = root('div', 'edit' + (multi ? ' multiline' : ''));
        const i = document.createElement(multi ? 'textarea' : 'input');
        if (!multi) {
          i.type = c.password ? 'password' : 'text';
          if (c.kind === 'timeedit') i.inputMode = 'numeric';
        }
        i.id = elementId(pane, id);
        i.autocomplete = 'off';
        i.spellcheck = false;
        if (c.fixedPitch) i.classList.add('fixed');
        wrap.appendChild(i);
        i.addEventListener('blur', () => commitEdit(pane, id));
        i.addEventListener('keydown', (ev) => {
          if (ev.key === 'Enter' && !multi) commitEdit(pane, id);
        });
        e.input = i;
        break;
      }
      case 'static': {
        root('div', 'static');
        break;
      }
      case 'group': {
        const g = root('div', 'group');
        g.setAttribute('role', 'group');
        const t = document.createElement('span');
        t.className = 'group-title';
        g.appendChild(t);
        e.text = t;
        break;
      }
      case 'panel': root('div', 'panel'); break;
      case 'led': {
        const l = root('div', 'led');
        l.setAttribute('role', 'img');
        break;
      }
      case 'slider': {
        if (c.spin) {
          const w = root('div', 'spin');
          w.setAttribute('role', 'group');
          const up = document.createElement('button');
          up.type = 'button';
          up.className = 'spin-up';
          up.textContent = '\u25b2';
          up.setAttribute('aria-label', 'Up');
          const down = document.createElement('button');
          down.type = 'button';
          down.className = 'spin-down';
          down.textContent = '\u25bc';
          down.setAttribute('aria-label', 'Down');
          const step = (delta) => {
            const cur = pane.controls.get(id);
            const lo = Math.min(cur.range[0], cur.range[1]), hi = Math.max(cur.range[0], cur.range[1]);
            const pos = Math.min(hi, Math.max(lo, (cur.position || 0) + delta));
            if (pos !== cur.position) act('slide ' + id + ' ' + pos);
          };
          up.addEventListener('click', () => step(1));
          down.addEventListener('click', () => step(-1));
          w.append(up, down);
          e.input = up;
          e.up = up;
          e.down = down;
        } else {
          const w = root('div', 'slider');
          const i = document.createElement('input');
          i.type = 'range';
          i.id = elementId(pane, id);
          w.appendChild(i);
          if (c.h > c.w) w.classList.add('vertical');
          // A drag sends the place it ends at; keys send once they stop.
          i.addEventListener('input', () => { e.pendingSlide = true; });
          i.addEventListener('change', () => {
            clearTimeout(e.slideTimer);
            e.slideTimer = setTimeout(() => commitSlide(pane, id), e.keyed ? 350 : 0);
          });
          i.addEventListener('keydown', () => { e.keyed = true; });
          i.addEventListener('pointerdown', () => { e.keyed = false; });
          i.addEventListener('blur', () => commitSlide(pane, id));
          e.input = i;
        }
        break;
      }
      case 'progress': {
        const p = root('div', 'progress');
        p.setAttribute('role', 'progressbar');
        const bar = document.createElement('div');
        bar.className = 'progress-fill';
        p.appendChild(bar);
        e.fill = bar;
        break;
      }
      case 'combo': {
        const w = root('div', 'combo');
        const s = document.createElement('select');
        s.id = elementId(pane, id);
        w.appendChild(s);
        s.addEventListener('change', () => act('select ' + id + ' ' + s.selectedIndex));
        e.input = s;
        break;
      }
      case 'list':
      case 'reportlist': {
        const grid = c.kind === 'list' && c.paneGrid > 0;
        const l = root('div', grid ? 'panegrid' : c.kind === 'list' ? 'list' : 'reportlist');
        l.tabIndex = 0;
        l.id = elementId(pane, id);
        l.setAttribute('role', grid ? 'grid' : 'listbox');
        l.addEventListener('keydown', (ev) => onListKey(pane, id, ev));
        e.input = l;
        break;
      }
      case 'calendar': {
        const w = root('div', 'calendar');
        const i = document.createElement('input');
        i.type = 'date';
        i.readOnly = true;
        i.id = elementId(pane, id);
        w.appendChild(i);
        e.input = i;
        break;
      }
      case 'background':
        return null;  // the keyboard is the dialog's
      default: {
        root('div', 'static');
        break;
      }
    }
    pane.body.appendChild(e.root);
    return e;
  }

  // The text of a field goes to the dialog once, when the field is left or
  // Enter commits it.
  function commitEdit(pane, id) {
    // Only the top dialog takes actions (a field taken away with its dialog
    // loses the focus too).
    if (pane.d !== top() || !pane.d.el.isConnected) return;
    const e = pane.entries.get(id);
    const c = pane.controls.get(id);
    if (!e || !c || !e.input || e.input.readOnly || e.input.disabled) return;
    let value = e.input.value;
    if (value === e.shown) return;
    e.shown = value;
    if (c.multiline) {
      const lines = value.replace(/\r\n/g, '\n').split('\n');
      act('set ' + id + ' ' + lines[0] + lines.slice(1).map((l) => '\nline ' + id + ' ' + l).join(''), { except: id });
    } else {
      act('set ' + id + ' ' + value, { except: id });
    }
  }

  function commitSlide(pane, id) {
    if (pane.d !== top() || !pane.d.el.isConnected) return;
    const e = pane.entries.get(id);
    const c = pane.controls.get(id);
    if (!e || !c || !e.pendingSlide) return;
    clearTimeout(e.slideTimer);
    e.pendingSlide = false;
    const v = Number(e.input.value);
    if (v === c.position) return;
    act('slide ' + id + ' ' + v, { except: id });
  }

  // What the operator typed or slid and did not commit yet goes first, so
  // the dialog sees the actions in the order the operator made them.
  function flushPending(except) {
    const d = top();
    if (!d) return;
    for (const pane of [d.frame, d.sheet && d.sheet.pane]) {
      if (!pane) continue;
      for (const [id, e] of pane.entries) {
        if (id === except) continue;
        if ((e.kind === 'edit' || e.kind === 'timeedit') && e.input && e.input.value !== e.shown) commitEdit(pane, id);
        else if (e.kind === 'slider' && e.pendingSlide) commitSlide(pane, id);
      }
    }
  }

  function onListKey(pane, id, ev) {
    const c = pane.controls.get(id);
    const e = pane.entries.get(id);
    if (!c || !c.enabled) return;
    const n = (c.items || []).length;
    if (!n) return;
    const cols = c.paneGrid > 0 ? c.paneGrid : 1;
    let cur = c.kind === 'list' && c.paneGrid > 0 ? (e.cursor !== undefined ? e.cursor : Math.max(c.selection, 0)) : c.selection;
    let next = cur;
    switch (ev.key) {
      case 'ArrowDown': next = cur < 0 ? 0 : Math.min(n - 1, cur + cols); break;
      case 'ArrowUp': next = cur < 0 ? 0 : Math.max(0, cur - cols); break;
      case 'ArrowRight': if (cols > 1) next = Math.min(n - 1, cur + 1); else return; break;
      case 'ArrowLeft': if (cols > 1) next = Math.max(0, cur - 1); else return; break;
      case 'Home': next = 0; break;
      case 'End': next = n - 1; break;
      case ' ':
        ev.preventDefault();
        if (c.paneGrid > 0) act('select ' + id + ' ' + cur);
        else if (c.checkBoxes && cur >= 0) act('check ' + id + ' ' + cur + ' ' + ((c.checks || [])[cur] ? 0 : 1));
        return;
      case 'Enter':
        if (c.paneGrid > 0) {
          ev.preventDefault();
          ev.stopPropagation();
          act('select ' + id + ' ' + cur);
        }
        return;
      default: return;
    }
    ev.preventDefault();
    if (c.paneGrid > 0) {
      e.cursor = next;
      syncControl(pane, c);
      const cell = e.root.children[next];
      if (cell) cell.focus();
      return;
    }
    if (next !== cur) act('select ' + id + ' ' + next);
  }

  function syncControl(pane, c, force) {
    const e = pane.entries.get(c.id);
    if (!e) return;
    const el = e.root;
    el.classList.toggle('disabled', !c.enabled);
    if (e.input && 'disabled' in e.input && e.input.tagName !== 'DIV') e.input.disabled = !c.enabled;
    if (e.up) { e.up.disabled = !c.enabled; e.down.disabled = !c.enabled; }
    if (e.input && e.input.tagName === 'DIV') e.input.setAttribute('aria-disabled', c.enabled ? 'false' : 'true');
    if (c.kind === 'slider' || c.kind === 'progress') el.dataset.position = String(c.position || 0);
    switch (c.kind) {
      case 'button':
        el.textContent = caption(c.text);
        el.classList.toggle('default', c.id === pane.d.defaultButton && !pane.isPage);
        break;
      case 'check':
      case 'radio':
        e.text.textContent = caption(c.text);
        e.input.checked = !!c.ticked;
        break;
      case 'edit':
      case 'timeedit': {
        const text = c.multiline ? String(c.text || '').replace(/\r\n/g, '\n') : String(c.text || '');
        const i = e.input;
        const typing = document.activeElement === i && i.value !== e.shown && !force;
        if (!typing && (i.value !== text || e.shown !== text)) i.value = text;
        e.shown = typing ? e.shown : text;
        if (c.maxLength > 0) i.maxLength = c.maxLength; else i.removeAttribute('maxlength');
        i.readOnly = !!c.readOnly;
        break;
      }
      case 'static':
        el.textContent = caption(c.text);
        break;
      case 'group':
        e.text.textContent = caption(c.text);
        el.setAttribute('aria-label', labelName(c.text));
        break;
      case 'led':
        el.classList.toggle('lit', !!c.ticked);
        el.setAttribute('aria-label', c.ticked ? 'on' : 'off');
        break;
      case 'slider': {
        if (c.spin) break;
        const lo = Math.min(c.range[0], c.range[1]), hi = Math.max(c.range[0], c.range[1]);
        e.input.min = String(lo);
        e.input.max = String(hi);
        if (!e.pendingSlide || force) {
          e.pendingSlide = false;
          e.input.value = String(c.position || 0);
        }
        break;
      }
      case 'progress': {
        const lo = Math.min(c.range[0], c.range[1]), hi = Math.max(c.range[0], c.range[1]);
        const pos = Math.min(hi, Math.max(lo, c.position || 0));
        const frac = hi > lo ? (pos - lo) / (hi - lo) : 0;
        e.fill.style.width = (frac * 100).toFixed(2) + '%';
        el.setAttribute('aria-valuemin', String(lo));
        el.setAttribute('aria-valuemax', String(hi));
        el.setAttribute('aria-valuenow', String(pos));
        break;
      }
      case 'combo': {
        const s = e.input;
        const items = (c.items || []).map((it) => cellText(it, 0));
        const key = JSON.stringify(items);
        if (e.itemsKey !== key) {
          e.itemsKey = key;
          s.textContent = '';
          for (const t of items) {
            const o = document.createElement('option');
            o.textContent = t;
            s.appendChild(o);
          }
        }
        s.selectedIndex = c.selection;
        break;
      }
      case 'list':
      case 'reportlist':
        syncRows(pane, c, e);
        break;
      case 'calendar': {
        const dt = new Date((c.dateTime || 0) * 1000);
        e.input.value = isNaN(dt.getTime()) ? '' : dt.toISOString().slice(0, 10);
        break;
      }
      default:
        el.textContent = caption(c.text);
    }
  }

  function syncRows(pane, c, e) {
    const id = c.id;
    const items = c.items || [];
    const cols = c.columns || [];
    const key = JSON.stringify([items, cols, c.checkBoxes]);
    const el = e.root;
    if (c.kind === 'list' && c.paneGrid > 0) {
      if (e.itemsKey !== key) {
        e.itemsKey = key;
        el.textContent = '';
        el.style.gridTemplateColumns = 'repeat(' + c.paneGrid + ', 1fr)';
        items.forEach((it, i) => {
          const cell = document.createElement('button');
          cell.type = 'button';
          cell.className = 'pane';
          cell.textContent = cellText(it, 0);
          cell.dataset.row = String(i);
          cell.tabIndex = -1;
          cell.addEventListener('click', () => {
            e.cursor = i;
            act('select ' + id + ' ' + i);
          });
          el.appendChild(cell);
        });
      }
      [...el.children].forEach((cell, i) => {
        cell.classList.toggle('current', i === c.selection);
        cell.setAttribute('aria-selected', i === c.selection ? 'true' : 'false');
        cell.disabled = !c.enabled;
      });
      return;
    }
    if (e.itemsKey !== key) {
      e.itemsKey = key;
      el.textContent = '';
      const table = document.createElement('table');
      table.setAttribute('role', 'presentation');
      if (cols.length) {
        const thead = document.createElement('thead');
        const tr = document.createElement('tr');
        if (c.checkBoxes) tr.appendChild(document.createElement('th'));
        for (const h of cols) {
          const th = document.createElement('th');
          th.textContent = caption(h);
          tr.appendChild(th);
        }
        thead.appendChild(tr);
        table.appendChild(thead);
      }
      const tbody = document.createElement('tbody');
      const ncols = Math.max(cols.length, 1);
      items.forEach((it, i) => {
        const tr = document.createElement('tr');
        tr.className = 'row';
        tr.dataset.row = String(i);
        tr.setAttribute('role', 'option');
        if (c.checkBoxes) {
          const td = document.createElement('td');
          td.className = 'rowcheck';
          const box = document.createElement('input');
          box.type = 'checkbox';
          box.tabIndex = -1;
          box.setAttribute('aria-hidden', 'true');
          td.appendChild(box);
          tr.appendChild(td);
        }
        for (let k = 0; k < ncols; ++k) {
          const td = document.createElement('td');
          td.textContent = cellText(it, k);
          // In one column a row shows as its cells, each named by its header.
          if (cols.length > 1) td.dataset.label = caption(cols[k]);
          tr.appendChild(td);
        }
        tr.addEventListener('click', (ev) => {
          const cur = pane.controls.get(id);
          if (!cur.enabled) return;
          if (cur.checkBoxes) {
            // A row of a check-box list turns its check over.
            ev.preventDefault();
            act('check ' + id + ' ' + i + ' ' + ((cur.checks || [])[i] ? 0 : 1));
          } else if (cur.selection !== i || (cur.multiSelect && !(cur.selected || []).every((r) => r === i))) {
            act('select ' + id + ' ' + i);
          }
        });
        tr.addEventListener('dblclick', () => {
          const cur = pane.controls.get(id);
          if (cur.enabled && !cur.checkBoxes) act('dblclick ' + id + ' ' + i);
        });
        tbody.appendChild(tr);
      });
      table.appendChild(tbody);
      el.appendChild(table);
    }
    const rows = el.querySelectorAll('tr.row');
    const selected = new Set(c.multiSelect && c.selected ? c.selected : []);
    rows.forEach((tr, i) => {
      const sel = i === c.selection || selected.has(i);
      tr.classList.toggle('selected', sel);
      tr.setAttribute('aria-selected', sel ? 'true' : 'false');
      if (c.checkBoxes) {
        const on = !!(c.checks || [])[i];
        tr.querySelector('input').checked = on;
        tr.setAttribute('aria-checked', on ? 'true' : 'false');
      }
    });
    if (c.selection >= 0 && rows[c.selection]) {
      const r = rows[c.selection];
      const top = r.offsetTop, bottom = top + r.offsetHeight;
      if (top < el.scrollTop || bottom > el.scrollTop + el.clientHeight) el.scrollTop = Math.max(0, top - 20);
      el.setAttribute('aria-activedescendant', '');
    }
  }

  // ---- layout --------------------------------------------------------------------
  function visibleControls(pane) {
    const list = pane.order.map((id) => pane.controls.get(id)).filter(Boolean);
    const covered = L.coveredControls(list);
    const labels = L.labelsOf(list);
    // A label goes with its fields: one whose fields are all out of view
    // would stand alone.
    const fieldsOf = new Map();
    for (const [field, label] of labels) {
      if (!fieldsOf.has(label.id)) fieldsOf.set(label.id, []);
      fieldsOf.get(label.id).push(pane.controls.get(field));
    }
    const hidden = new Set(covered);
    for (const [label, fields] of fieldsOf)
      if (fields.every((f) => !f.visible || covered.has(f.id))) hidden.add(label);
    return { list, hidden, labels, shown: (c) => c.visible && !hidden.has(c.id) && c.kind !== 'background' };
  }

  // The width a control's text needs on one line (template pixels), or 0.
  function neededWidth(c) {
    const t = caption(c.text);
    switch (c.kind) {
      case 'button': return t ? linesWidth(t) + 12 : 0;
      case 'check':
      case 'radio': return t ? linesWidth(t) + 22 : 0;
      case 'static': return t && !wraps(c) ? linesWidth(t) + 2 : 0;
      case 'group': return t ? linesWidth(t) + 20 : 0;
      case 'combo': {
        let widest = 0;
        for (const it of c.items || []) widest = Math.max(widest, textWidth(cellText(it, 0)));
        return widest ? widest + 30 : 0;
      }
      default: return 0;
    }
  }
  function wraps(c) { return c.kind === 'static' && c.h >= 2 * LINE; }

  // Lays a pane out to fit its texts; returns its laid-out size and each
  // control's place, in template pixels.
  function planPane(pane, width, height, reserved) {
    const v = visibleControls(pane);
    const identity = new L.AxisMap();
    const needs = new Map();
    for (const c of v.list) {
      if (!v.shown(c)) continue;
      const need = neededWidth(c);
      needs.set(c.id, need);
      if (need > c.w && c.x + need > L.roomRight(c, v.list, identity, width, v.shown))
        pane.needX.set(c.id, Math.max(pane.needX.get(c.id) || 0, need));
    }
    const spansX = [];
    for (const [id, need] of pane.needX) {
      const c = pane.controls.get(id);
      if (c) spansX.push({ start: c.x, size: c.w, need });
    }
    if (reserved) spansX.push({ start: reserved.x, size: reserved.w, need: reserved.needW });
    const mapX = L.AxisMap.fit(spansX);
    const paneWidth = mapX.map(Math.max(width, 1));
    const places = new Map();
    for (const c of v.list) {
      const x = mapX.map(c.x);
      let w = mapX.extent(c.x, c.w);
      const need = needs.get(c.id) || 0;
      if (need > w) w = Math.max(w, Math.min(need, L.roomRight(c, v.list, mapX, paneWidth, v.shown) - x));
      places.set(c.id, { x, y: c.y, w: Math.max(w, 1), h: c.h });
    }
    L.anchorButtonRows(places, v.list, needs, mapX, width, v.shown);
    // Heights: a label that wraps at the width it now has asks for the
    // height of its lines.
    for (const c of v.list) {
      if (!v.shown(c)) continue;
      let need = 0;
      const t = caption(c.text);
      if (c.kind === 'static' && t) {
        need = (wraps(c) ? wrappedLines(t, places.get(c.id).w) : t.split('\n').length) * LINE;
      } else if ((c.kind === 'check' || c.kind === 'radio') && t) {
        need = wrappedLines(t, Math.max(places.get(c.id).w - 22, 20)) * LINE;
      }
      if (need > c.h) pane.needY.set(c.id, Math.max(pane.needY.get(c.id) || 0, need));
    }
    const spansY = [];
    for (const [id, need] of pane.needY) {
      const c = pane.controls.get(id);
      if (c) spansY.push({ start: c.y, size: c.h, need });
    }
    if (reserved) spansY.push({ start: reserved.y, size: reserved.h, need: reserved.needH });
    const mapY = L.AxisMap.fit(spansY);
    for (const c of v.list) {
      const p = places.get(c.id);
      let h = mapY.extent(c.y, c.h);
      if (c.kind === 'combo') h = Math.min(c.h, 24);  // templates give the dropped height
      if (c.kind === 'led') h = Math.min(p.w, h);
      p.y = mapY.map(c.y);
      p.h = Math.max(h, 1);
    }
    return { v, places, mapX, mapY, width: paneWidth, height: mapY.map(Math.max(height, 1)) };
  }

  const SHEET_TABS = 28;   // the tab row
  const SHEET_MARGIN = 4;

  function layoutDialog(d) {
    const frameW = d.width || 1, frameH = d.height || 1;
    let pagePlan = null;
    let reserved = null;
    if (d.sheet) {
      const s = d.sheet;
      const pageW = Math.max(s.width - 2 * SHEET_MARGIN, 1), pageH = Math.max(s.height - SHEET_TABS - 2 * SHEET_MARGIN, 1);
      pagePlan = planPane(s.pane, pageW, pageH, null);
      // Every tab in view: in one row where they fit the sheet, else in as
      // many rows as they need, each as high as the template's tab row.
      const needW = Math.max(s.width, pagePlan.width + 2 * SHEET_MARGIN);
      let rows = 1, x = 0, widest = 0;
      for (const p of s.pages) {
        const w = textWidth(caption(p)) + 16;
        widest = Math.max(widest, w);
        if (x > 0 && x + w > needW - 6) {
          rows += 1;
          x = 0;
        }
        x += w + 2;
      }
      s.tabRows = Math.max(s.tabRows || 1, rows);
      const needH = Math.max(s.height, pagePlan.height + SHEET_TABS * s.tabRows + 2 * SHEET_MARGIN);
      // The sheet keeps the largest size it needed, so it does not jump
      // from page to page.
      s.keepW = Math.max(s.keepW || 0, needW, widest + 6);
      s.keepH = Math.max(s.keepH || 0, needH);
      reserved = { x: s.x, y: s.y, w: s.width, h: s.height, needW: s.keepW, needH: s.keepH };
    }
    const plan = planPane(d.frame, frameW, frameH, reserved);

    // The scale that fits the window; too small a scale, or touch targets
    // that would stay under a finger's size, and the controls go into one
    // column in their tab order.
    const stage = $('stage');
    const availW = Math.max(200, stage.clientWidth - 26);
    const availH = Math.max(200, window.innerHeight - 170);
    let scale = Math.min(MAX_SCALE, availW / plan.width, Math.max(MIN_SCALE, availH / plan.height));
    let column = scale < MIN_SCALE;
    if (!column && coarse.matches) {
      let smallest = Infinity;
      const all = [[d.frame, plan], pagePlan ? [d.sheet.pane, pagePlan] : null].filter(Boolean);
      for (const [pane, pl] of all)
        for (const c of pl.v.list)
          if (pl.v.shown(c) && ['button', 'check', 'radio', 'edit', 'combo', 'timeedit'].includes(c.kind))
            smallest = Math.min(smallest, pl.places.get(c.id).h);
      if (smallest !== Infinity) {
        const want = TOUCH_TARGET / smallest;
        if (want > availW / plan.width) column = true;
        else scale = Math.max(scale, want);
      }
    }
    d.column = column;
    d.el.classList.toggle('column', column);
    d.el.dataset.layout = column ? 'column' : 'scale ' + scale.toFixed(2);
    placeSheetInOrder(d);
    if (column) {
      d.frame.body.style.cssText = '';
      d.el.style.width = '';
      columnPane(d.frame, plan);
      if (pagePlan) {
        d.sheet.el.style.cssText = '';
        d.sheet.pane.body.style.cssText = '';
        columnPane(d.sheet.pane, pagePlan);
      }
    } else {
      const fs = BASE_FONT * scale;
      d.frame.body.style.width = Math.round(plan.width * scale) + 'px';
      d.frame.body.style.height = Math.round(plan.height * scale) + 'px';
      d.frame.body.style.fontSize = fs.toFixed(2) + 'px';
      d.el.style.width = Math.round(plan.width * scale) + 24 + 'px';
      placePane(d.frame, plan, scale);
      if (pagePlan) {
        const s = d.sheet;
        const x = plan.mapX.map(s.x), y = plan.mapY.map(s.y);
        const w = plan.mapX.extent(s.x, s.width), h = plan.mapY.extent(s.y, s.height);
        Object.assign(s.el.style, {
          left: Math.round(x * scale) + 'px', top: Math.round(y * scale) + 'px',
          width: Math.round(w * scale) + 'px', height: Math.round(h * scale) + 'px',
        });
        const tabsH = SHEET_TABS * (s.tabRows || 1);
        s.tabsEl.style.height = Math.round(tabsH * scale) + 'px';
        Object.assign(s.pane.body.style, {
          left: Math.round(SHEET_MARGIN * scale) + 'px', top: Math.round((tabsH + SHEET_MARGIN) * scale) + 'px',
          width: Math.round(pagePlan.width * scale) + 'px', height: Math.round(pagePlan.height * scale) + 'px',
        });
        placePane(s.pane, pagePlan, scale);
      }
    }
    showKeyboard(d);
  }

  // The sheet stands among the frame's controls where its place is: after
  // those above it, before the rest (the tab order).
  function placeSheetInOrder(d) {
    if (!d.sheet) return;
    const s = d.sheet;
    const body = d.frame.body;
    let before = null;
    for (const id of d.frame.order) {
      const c = d.frame.controls.get(id);
      const e = d.frame.entries.get(id);
      if (!c || !e) continue;
      if (c.kind === 'group' || c.kind === 'panel') continue;
      if (c.y + c.h > s.y) { before = e.root; break; }
    }
    if (before) {
      if (s.el.nextSibling !== before) body.insertBefore(s.el, before);
    } else if (body.lastChild !== s.el) {
      body.appendChild(s.el);
    }
  }

  function placePane(pane, plan, scale) {
    const px = (v) => Math.round(v * scale) + 'px';
    for (const c of plan.v.list) {
      const e = pane.entries.get(c.id);
      if (!e) continue;
      const shown = plan.v.shown(c);
      e.root.hidden = !shown;
      const p = plan.places.get(c.id);
      const st = e.root.style;
      st.left = px(p.x);
      st.top = px(p.y);
      st.width = px(p.w);
      st.height = px(p.h);
      nameControl(pane, c, e, plan.v.labels);
      if (e.root.classList.contains('panegrid')) e.root.style.gridAutoRows = '1fr';
    }
  }

  function columnPane(pane, plan) {
    for (const c of plan.v.list) {
      const e = pane.entries.get(c.id);
      if (!e) continue;
      e.root.hidden = !plan.v.shown(c) || c.kind === 'panel';
      e.root.style.cssText = '';
      if (e.root.classList.contains('panegrid')) e.root.style.gridTemplateColumns = 'repeat(' + c.paneGrid + ', 1fr)';
      nameControl(pane, c, e, plan.v.labels);
      if (c.kind === 'progress') syncControl(pane, c);
    }
  }

  function nameControl(pane, c, e, labels) {
    const label = labels.get(c.id);
    if (!e.input) return;
    if (label) {
      e.input.setAttribute('aria-label', labelName(label.text));
      const le = pane.entries.get(label.id);
      if (le) le.root.dataset.labelFor = e.input.id || '';
    } else if (c.kind === 'slider' && c.spin) {
      e.root.setAttribute('aria-label', 'Spin ' + c.id);
    }
  }

  function applyFocus(d, opening) {
    if (state.role !== 'holder' || d !== top()) return;
    let target = null;
    const find = (pane, id) => {
      const e = pane && pane.entries.get(id);
      return e && e.input && !e.root.hidden && !e.input.disabled ? e.input : null;
    };
    if (d.sheet && d.sheet.focus) target = find(d.sheet.pane, d.sheet.focus);
    if (!target && d.focus) target = find(d.frame, d.focus) || (d.sheet && find(d.sheet.pane, d.focus));
    if (!target && opening) {
      // As the dialog manager does: the first control that takes the focus
      // (on a sheet the tab row first).
      target = d.el.querySelector('.tab[aria-selected=true]') ||
        [...d.el.querySelectorAll('.dialog-frame input, .dialog-frame select, .dialog-frame textarea, .dialog-frame button, .dialog-frame [tabindex="0"]')]
          .find((x) => !x.disabled && x.offsetParent !== null);
    }
    if (!target || state.boxes.length) return;
    target.focus({ preventScroll: opening });
    if (target.select && (target.type === 'text' || target.type === 'password')) target.select();
  }

  // ---- keyboard ------------------------------------------------------------------
  function onDialogKey(d, ev) {
    if (state.role !== 'holder' || d !== top() || state.boxes.length) return;
    const t = ev.target;
    if (ev.key === 'Escape') {
      ev.preventDefault();
      // Escape is the Cancel command: it presses Cancel (id 2) and does
      // nothing while that is disabled or hidden; a dialog without one
      // gets the window's close request.
      const cancel = d.frame.controls.get(2);
      if (cancel) {
        if (cancel.enabled && cancel.visible) act('click 2');
      } else {
        act('close');
      }
      return;
    }
    if (ev.key === 'Enter' && !ev.shiftKey && !ev.altKey && !ev.ctrlKey) {
      if (t.tagName === 'TEXTAREA' || t.tagName === 'BUTTON' || t.tagName === 'A') return;
      if (t.tagName === 'SELECT') return;
      const def = d.defaultButton ? d.frame.controls.get(d.defaultButton) : null;
      if (!def || !def.enabled || !def.visible) return;
      ev.preventDefault();
      act('click ' + d.defaultButton);
    }
  }

  function showKeyboard(d) {
    const kb = d.keyboard || {};
    const el = d.kbEl;
    if (!kb.shown) {
      el.hidden = true;
      return;
    }
    el.hidden = false;
    const keys = String(kb.keys || '');
    if (el.dataset.keys === keys) return;
    el.dataset.keys = keys;
    el.textContent = '';
    const key = (label, name, fn) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'kb-key';
      b.textContent = label;
      b.setAttribute('aria-label', name);
      b.tabIndex = -1;
      // Typing must not take the focus from the field.
      b.addEventListener('mousedown', (ev) => ev.preventDefault());
      b.addEventListener('click', fn);
      el.appendChild(b);
    };
    for (const ch of keys) if (ch !== ' ') key(ch, 'Key ' + ch, () => typeKey(d, ch, false));
    key('Space', 'Space', () => typeKey(d, ' ', false));
    key('Back', 'Backspace', () => typeKey(d, '', true));
  }

  function typeKey(d, ch, back) {
    let i = document.activeElement;
    if (!i || !d.el.contains(i) || !i.matches('input[type=text], input[type=password], textarea')) i = d.lastEdit;
    if (!i || i.disabled || i.readOnly || !d.el.contains(i)) return;
    i.focus();
    let start = i.selectionStart, end = i.selectionEnd;
    let v = i.value;
    if (start !== end) {
      v = v.slice(0, start) + v.slice(end);
      end = start;
    } else if (back && start > 0) {
      v = v.slice(0, start - 1) + v.slice(start);
      start -= 1;
    }
    if (!back) {
      if (i.maxLength > 0 && v.length >= i.maxLength) return;
      v = v.slice(0, start) + ch + v.slice(start);
      start += ch.length;
    }
    i.value = v;
    i.setSelectionRange(start, start);
  }

  // ---- message boxes -------------------------------------------------------------
  const BUTTONS = {
    ok: ['ok'], okcancel: ['ok', 'cancel'], yesno: ['yes', 'no'], yesnocancel: ['yes', 'no', 'cancel'],
    retrycancel: ['retry', 'cancel'], abortretryignore: ['abort', 'retry', 'ignore'],
  };
  const BUTTON_TEXT = { ok: 'OK', cancel: 'Cancel', yes: 'Yes', no: 'No', retry: 'Retry', abort: 'Abort', ignore: 'Ignore' };
  const ICON = { information: 'i', warning: '!', error: '\u00d7', question: '?' };

  function onMessageBox(msg) {
    const old = state.boxes.find((b) => b.box === msg.box);
    if (old) old.el.remove();
    const answers = BUTTONS[msg.buttons] || ['ok'];
    const wrap = document.createElement('div');
    wrap.className = 'box-backdrop';
    const el = document.createElement('div');
    el.className = 'box icon-' + (msg.icon || 'none');
    el.setAttribute('role', 'alertdialog');
    el.setAttribute('aria-modal', 'true');
    el.dataset.box = String(msg.box);
    const cap = document.createElement('h2');
    cap.id = 'box-caption-' + msg.box;
    cap.textContent = msg.caption || 'Mirelle';
    const body = document.createElement('div');
    body.className = 'box-body';
    if (ICON[msg.icon]) {
      const icon = document.createElement('span');
      icon.className = 'box-icon';
      icon.setAttribute('aria-hidden', 'true');
      icon.textContent = ICON[msg.icon];
      body.appendChild(icon);
    }
    const text = document.createElement('p');
    text.className = 'box-text';
    text.id = 'box-text-' + msg.box;
    text.textContent = msg.text || '';
    body.appendChild(text);
    el.setAttribute('aria-labelledby', cap.id);
    el.setAttribute('aria-describedby', text.id);
    const row = document.createElement('div');
    row.className = 'box-buttons';
    const box = { box: msg.box, el: wrap, answers, buttons: [] };
    answers.forEach((a, i) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'btn' + (i === (msg.defaultButton || 0) ? ' btn-default' : '');
      b.textContent = BUTTON_TEXT[a];
      b.dataset.answer = a;
      b.addEventListener('click', () => answerBox(box, a));
      row.appendChild(b);
      box.buttons.push(b);
    });
    el.append(cap, body, row);
    wrap.appendChild(el);
    wrap.addEventListener('keydown', (ev) => {
      if (ev.key === 'Escape') {
        ev.preventDefault();
        const esc = answers.includes('cancel') ? 'cancel' : answers.includes('no') ? 'no' : answers.length === 1 ? answers[0] : null;
        if (esc) answerBox(box, esc);
      } else if (ev.key === 'Tab') {
        // The focus stays in the box.
        const i = box.buttons.indexOf(document.activeElement);
        ev.preventDefault();
        const n = box.buttons.length;
        box.buttons[((i < 0 ? 0 : i) + (ev.shiftKey ? n - 1 : 1)) % n].focus();
      }
    });
    state.boxes.push(box);
    $('boxes').appendChild(wrap);
    document.querySelector('main').inert = true;
    showHolder();
    if (state.role === 'holder') (box.buttons[msg.defaultButton || 0] || box.buttons[0]).focus();
    else for (const b of box.buttons) b.disabled = true;
  }

  function answerBox(box, answer) {
    if (state.role !== 'holder') return;
    state.actionAt = performance.now();
    send({ type: 'answer', box: box.box, answer });
  }

  function onMessageClosed(msg) {
    const i = state.boxes.findIndex((b) => b.box === msg.box);
    if (i < 0) return;
    state.boxes[i].el.remove();
    state.boxes.splice(i, 1);
    if (!state.boxes.length) document.querySelector('main').inert = false;
    showHolder();
    const t = top();
    if (t) applyFocus(t, true);
  }

  // ---- start page ----------------------------------------------------------------
  function init() {
    document.body.dataset.inflight = '0';
    $('reset').addEventListener('click', () => send({ type: 'reset' }));
    $('record').addEventListener('change', (ev) => send({ type: 'record', on: ev.target.checked }));
    $('save-recording').addEventListener('click', () => {
      state.wantRecording = true;
      send({ type: 'recording' });
    });
    $('take').addEventListener('click', () => send({ type: 'take' }));
    $('handover').addEventListener('click', () => {
      const to = $('handover-user').value.trim();
      if (to) send({ type: 'handover', to });
    });
    // A new width lays the dialogs out again (a height alone does not: a
    // page that grows taller as it scrolls keeps its layout).
    let resizeTimer = 0;
    let laidOutWidth = window.innerWidth;
    window.addEventListener('resize', () => {
      clearTimeout(resizeTimer);
      resizeTimer = setTimeout(() => {
        if (window.innerWidth === laidOutWidth) return;
        laidOutWidth = window.innerWidth;
        for (const d of state.dialogs) layoutDialog(d);
      }, 60);
    });
    // A keepalive; its answer is counted as any other.
    setInterval(() => {
      if (!state.ws || state.ws.readyState !== WebSocket.OPEN) return;
      state.ws.send('{"type":"ping"}');
      state.pings += 1;
      setInflight();
    }, 25000);
    connect();
  }

  document.addEventListener('DOMContentLoaded', init);
})();
