// A stand-in server for working on the page without the C++ one: serves
// web/page over plain HTTP and answers the socket with one dialog of every
// control kind (a property sheet with two pages) and a message box.
// node mock.js PORT
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');
const { WebSocketServer } = require('ws');

const root = path.resolve(__dirname, '../../../web/page');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css' };
const server = http.createServer((req, res) => {
  let p = req.url.split('?')[0];
  if (p === '/') p = '/index.html';
  if (p === '/login') p = '/login.html';
  if (p === '/whoami') { res.end('{"user":"mock"}'); return; }
  const file = path.join(root, path.normalize(p));
  if (!file.startsWith(root) || !fs.existsSync(file)) { res.writeHead(404); res.end(); return; }
  res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
    'Content-Security-Policy': "default-src 'self'; frame-ancestors 'none'" });
  fs.createReadStream(file).pipe(res);
});

const C = (o) => Object.assign({ enabled: true, visible: true, text: '', tab: 0 }, o);
function dialog(qps) {
  const t = (s) => (qps ? '[' + s.replace(/[aeiou]/g, (v) => v + v) + ' !!!]' : s);
  return {
    type: 'dialog', dialog: 7, templateId: 230, caption: t('Camera Setup'), width: 480, height: 360,
    keyboard: { shown: true, keys: '0123456789ABCDEF' }, defaultButton: 1, focus: 0,
    controls: [
      C({ id: 1, kind: 'button', x: 258, y: 330, w: 70, h: 22, text: t('OK') }),
      C({ id: 2, kind: 'button', x: 332, y: 330, w: 70, h: 22, text: t('Cancel') }),
      C({ id: 9, kind: 'button', x: 406, y: 330, w: 70, h: 22, text: t('&Help') }),
    ],
    sheet: {
      x: 7, y: 7, width: 466, height: 315, pages: [t('Cameras'), t('Termination'), t('Gain Mode'), t('Camera Control')],
      activePage: 0, focus: 1470,
      controls: [
        C({ id: 1000, kind: 'static', x: 8, y: 6, w: 60, h: 13, text: t('Na&me:') }),
        C({ id: 1470, kind: 'edit', x: 72, y: 4, w: 140, h: 20, text: 'Camera 1', maxLength: 31 }),
        C({ id: 1001, kind: 'static', x: 230, y: 6, w: 50, h: 13, text: t('Input:') }),
        C({ id: 1471, kind: 'combo', x: 284, y: 4, w: 160, h: 120, items: [['75 Ohm'], ['High impedance']], selection: 0 }),
        C({ id: 1002, kind: 'group', x: 4, y: 32, w: 210, h: 90, text: t('Options') }),
        C({ id: 1014, kind: 'check', x: 12, y: 48, w: 190, h: 16, text: t('Linear recording'), ticked: true }),
        C({ id: 1015, kind: 'radio', x: 12, y: 68, w: 190, h: 16, text: t('Covert'), group: 1 }),
        C({ id: 1019, kind: 'radio', x: 12, y: 88, w: 190, h: 16, text: t('Visible'), group: 1, ticked: true }),
        C({ id: 1003, kind: 'static', x: 230, y: 36, w: 210, h: 30, text: t('Notify when the disk is this full, in percent of its space:') }),
        C({ id: 1016, kind: 'slider', x: 230, y: 70, w: 180, h: 22, range: [0, 100], position: 75 }),
        C({ id: 1017, kind: 'slider', spin: true, x: 414, y: 70, w: 16, h: 22, range: [0, 9], position: 3 }),
        C({ id: 1018, kind: 'led', x: 436, y: 74, w: 12, h: 12, ticked: true }),
        C({ id: 1200, kind: 'progress', x: 230, y: 100, w: 210, h: 14, range: [0, 100], position: 40 }),
        C({ id: 1004, kind: 'static', x: 8, y: 130, w: 120, h: 13, text: t('Cameras:') }),
        C({ id: 1532, kind: 'reportlist', x: 4, y: 146, w: 250, h: 110, columns: [t('Name'), t('Handler'), t('Address')],
          checkBoxes: true, checks: [1, 0, 0], selection: 1,
          items: [['Front door', 'PTZ', '1'], ['Lobby', '', '2'], ['Car park', 'Dome', '3'], ['Till 1', '', '4']] }),
        C({ id: 1103, kind: 'list', x: 262, y: 146, w: 190, h: 110, paneGrid: 2, selection: 0,
          items: [['Cam 1'], ['Cam 2'], ['Cam 3'], ['Cam 4']] }),
        C({ id: 1005, kind: 'list', x: 4, y: 262, w: 250, h: 40, items: [['COM1'], ['COM2'], ['COM3']], selection: 2 }),
        C({ id: 1202, kind: 'timeedit', x: 262, y: 264, w: 60, h: 20, text: '0:15' }),
        C({ id: 1131, kind: 'button', x: 330, y: 264, w: 60, h: 20, text: t('&Add...') }),
        C({ id: 1132, kind: 'button', x: 394, y: 264, w: 60, h: 20, text: t('&Delete'), enabled: false }),
      ],
    },
  };
}

const wss = new WebSocketServer({ server, path: '/ws' });
wss.on('connection', (ws) => {
  const qps = process.env.MOCK_QPS === '1';
  const sendj = (m) => ws.send(JSON.stringify(m));
  sendj({ type: 'hello', user: 'mock', role: 'holder', holder: { user: 'mock', since: '2026-12-09T07:00:00Z' },
    groups: [{ name: 'Video', setups: [{ title: 'Cameras', operation: 'ShowCameras' }, { title: 'Display layouts', operation: 'ShowDisplay' }] },
      { name: 'Recording', setups: [{ title: 'Storage', operation: 'ShowStorage' }] }],
    running: null, recording: false, grace: 30 });
  sendj({ type: 'unit', data: { cameras: [{ name: 'Camera 1', termination: 0 }, { name: 'Lobby' }], storage: { full: 75 } }, changed: ['/cameras/0/name'] });
  ws.on('message', (raw) => {
    const m = JSON.parse(raw);
    if (m.type === 'ping') return sendj({ type: 'pong' });
    if (m.type === 'run') { sendj({ type: 'log', line: '== ' + m.operation }); return sendj(dialog(qps)); }
    if (m.type === 'action') {
      sendj({ type: 'log', line: 'action: ' + m.line });
      if (m.line === 'click 9') sendj({ type: 'message', box: 1, caption: 'Camera Setup', text: 'The name is used by camera 2.\nChoose another name.', buttons: 'yesnocancel', icon: 'warning', defaultButton: 0 });
      if (m.line === 'click 2' || m.line === 'click 1') { sendj({ type: 'closed', dialog: 7, result: 1 }); sendj({ type: 'result', operation: 'ShowCameras', result: 1 }); }
      const set = /^set (\d+) (.*)$/.exec(m.line);
      if (set) sendj({ type: 'update', dialog: 7, sheetChanges: [{ id: Number(set[1]), text: set[2] }] });
    }
    if (m.type === 'answer') sendj({ type: 'messageClosed', box: m.box, answer: m.answer });
  });
});
server.listen(Number(process.argv[2] || 8090), '127.0.0.1');
