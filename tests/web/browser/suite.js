// The browser suite: every demo script played through the console page in
// Chromium with real clicks and typing, at a tablet's and a phone's size,
// each ending with the same report and the same unit file as mirelle-run
// on the same script; screenshots of every dialog, page and box.
// Started by run.sh, which starts the server and sets the environment.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const { config, launch, openConsole, settled } = require('./common');
const { parseScript, Player, demoScripts } = require('./play');

const cfg = config();
const SIZES = [{ width: 1280, height: 800 }, { width: 390, height: 844 }];
const only = process.env.MIRELLE_WEB_ONLY ? new RegExp(process.env.MIRELLE_WEB_ONLY) : null;
const widths = (process.env.MIRELLE_WEB_WIDTHS || '1280,390').split(',').map(Number);

let failures = 0;
let count = 0;
function report(ok, name, details) {
  count += 1;
  if (!ok) failures += 1;
  console.log(`${ok ? 'ok' : 'not ok'} ${count} - ${name}`);
  for (const d of details || []) console.log('    ' + d);
}

// The headless run of a script on a fresh copy of the bundled unit: its
// report lines and the unit file it leaves.
function baseline(script, tmp) {
  const unit = path.join(tmp, path.basename(script.file, '.script') + '.json');
  fs.copyFileSync(path.join(cfg.source, 'apps/units/default.json'), unit);
  let out;
  try {
    out = execFileSync(cfg.run, ['--unit', unit, '--script', script.file, script.operation],
      { cwd: cfg.source, encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
  } catch (e) {
    out = String(e.stdout || '');
  }
  return { lines: out.split('\n').filter(Boolean), unit: fs.readFileSync(unit) };
}

async function logLines(page) {
  return page.$$eval('#log > div', (ds) => ds.map((d) => d.textContent));
}

// The report of the last run of operation in the page's log.
function lastRun(lines, operation) {
  let start = -1;
  for (let i = lines.length - 1; i >= 0; --i) if (lines[i] === '== ' + operation) { start = i; break; }
  if (start < 0) return null;
  const out = [];
  for (let i = start + 1; i < lines.length; ++i) {
    if (lines[i].startsWith('==') || lines[i].startsWith('error: ')) continue;
    out.push(lines[i]);
    if (lines[i].startsWith('result:')) return out;
  }
  return null;
}

function diff(want, got) {
  const out = [];
  for (let i = 0; i < Math.max(want.length, got.length); ++i) {
    if (want[i] !== got[i]) out.push(`line ${i + 1}: mirelle-run "${want[i] ?? ''}", page "${got[i] ?? ''}"`);
    if (out.length > 6) break;
  }
  return out;
}

async function resetUnit(page) {
  const before = (await logLines(page)).length;
  await page.click('#reset');
  await settled(page);
  await page.waitForFunction((n) => document.querySelectorAll('#log > div').length > n, before, { timeout: 10000 });
}

async function playOne(page, script, width, touch, base) {
  const problems = [];
  await resetUnit(page);
  const player = new Player(page, script.operation, { width, shots: cfg.shots, touch });
  await page.click(`#groups button[data-operation="${script.operation}"]`);
  await settled(page);
  await page.waitForSelector('.dialog.top', { timeout: 15000 });
  await player.answerBoxes();
  for (const s of parseScript(script.text)) {
    try {
      await player.step(s);
    } catch (e) {
      problems.push(`${s.line}: ${String(e.message).split('\n')[0]}`);
      break;
    }
  }
  // Out of actions with a dialog still open: its close request, then
  // Escape, as the headless runner ends a run.
  for (let i = 0; i < 6 && (await page.$('.dialog.top')); ++i) {
    await player.waitIdle();
    if (!(await page.$('.dialog.top'))) break;
    await page.click('.dialog.top .dialog-close');
    await player.answerBoxes();
    if (await page.$('.dialog.top')) {
      await page.keyboard.press('Escape');
      await player.answerBoxes();
    }
  }
  await page.waitForFunction((op) => {
    const lines = [...document.querySelectorAll('#log > div')].map((d) => d.textContent);
    const start = lines.lastIndexOf('== ' + op);
    return start >= 0 && lines.slice(start).some((l) => l.startsWith('result:'));
  }, script.operation, { timeout: 20000 });
  await settled(page);
  await player.shot('done');
  const got = lastRun(await logLines(page), script.operation) || [];
  if (JSON.stringify(got) !== JSON.stringify(base.lines)) problems.push('report differs:', ...diff(base.lines, got));
  if (cfg.unit) {
    const unit = fs.readFileSync(cfg.unit);
    if (!unit.equals(base.unit)) {
      let detail = 'unit file differs';
      try {
        if (JSON.stringify(JSON.parse(unit)) === JSON.stringify(JSON.parse(base.unit))) detail += ' (same data, other text)';
      } catch (e) { /* not JSON */ }
      problems.push(detail);
    }
  }
  problems.push(...player.problems);
  page.toggles = player.toggles;
  page.noops = player.noops;
  return problems;
}

// The recorded session of the last run, saved from the page, against the
// script it played: the same action lines.
// Answers are compared in their order apart from the other actions (a
// script may give one several lines before the action whose box takes it),
// waits not at all; a check box or radio button clicked is one action
// whether the script says click or tick.
async function checkRecording(page, script, toggles, noops) {
  const [download] = await Promise.all([page.waitForEvent('download', { timeout: 10000 }), page.click('#save-recording')]);
  const text = fs.readFileSync(await download.path(), 'utf8');
  // A box with only OK needs no answer in a script.
  const lines = (t) => t.split('\n').map((l) => l.trim())
    .filter((l) => l && !l.startsWith('#') && l !== 'wait' && l !== 'answer ok')
    .map((l) => {
      const m = /^(?:click (\d+)|tick (\d+) [01])$/.exec(l);
      const id = m && Number(m[1] || m[2]);
      return id && toggles.has(id) ? 'toggle ' + id : l;
    });
  const actions = (t) => lines(t).filter((l) => !l.startsWith('answer '));
  const answers = (t) => lines(t).filter((l) => l.startsWith('answer '));
  const skip = [...noops];
  const played = script.text.split('\n').filter((l) => {
    const i = skip.indexOf(l.trim());
    if (i < 0) return true;
    skip.splice(i, 1);
    return false;
  }).join('\n');
  const problems = [];
  if (download.suggestedFilename() !== script.operation + '.script') problems.push('recording saved as ' + download.suggestedFilename());
  for (const [what, pick] of [['actions', actions], ['answers', answers]]) {
    const want = pick(played), got = pick(text);
    if (JSON.stringify(want) !== JSON.stringify(got)) problems.push(`recorded ${what} differ from the script's:`, ...diff(want, got));
  }
  return problems;
}

// Another operator watches read-only and takes over once the holder's
// connection stays dropped; a reload within the grace time gets the dialog
// back where it was.
async function holderAndWatcher(browser) {
  const problems = [];
  const size = { width: 1280, height: 800 };
  const holder = await openConsole(browser, cfg, size);
  const watcher = await openConsole(browser, cfg, size, { user: 'watcher', watch: true });
  const h = holder.page, w = watcher.page;
  const text = (p, sel) => p.textContent(sel);
  if (!/tester/.test(await text(w, '#holder-text'))) problems.push('the watcher is not told who holds the setup: ' + await text(w, '#holder-text'));
  if (!(await w.isDisabled('#reset'))) problems.push('a watcher can reset the unit');
  await resetUnit(h);
  const unitBefore = cfg.unit ? fs.readFileSync(cfg.unit) : null;
  await h.click('#groups button[data-operation="ShowRecordModeDlg"]');
  await h.waitForSelector('.dialog.top');
  // A radio button that is off, turned on.
  const box = h.locator('.dialog.top .ctl.radio').filter({ has: h.locator('input:not(:checked)') }).first();
  const cid = await box.getAttribute('data-cid');
  const ticked = false;
  await box.click();
  await settled(h);
  await w.waitForSelector(`.dialog.top [data-cid="${cid}"]`);
  await w.waitForFunction(([id, t]) => document.querySelector(`.dialog.top [data-cid="${id}"] input`).checked === t, [cid, !ticked]);
  if (!(await w.evaluate(() => document.querySelector('.dialog.top').inert))) problems.push("the watcher's dialog takes input");
  if (cfg.shots) await w.screenshot({ path: path.join(cfg.shots, 'Console-01-watcher-1280.png'), fullPage: true });
  // A reload within the grace time: the same dialog, as it was.
  await h.reload();
  await h.waitForSelector(`.dialog.top [data-cid="${cid}"]`, { timeout: 10000 });
  if ((await h.locator(`.dialog.top [data-cid="${cid}"] input`).isChecked()) !== !ticked) problems.push('after a reload the dialog is not as it was');
  if (await h.evaluate(() => document.body.classList.contains('watcher'))) problems.push('after a reload the holder watches');
  // The holder goes away: after the grace time the dialog ends with 0.
  await holder.context.close();
  try {
    await w.waitForFunction(() => {
      const lines = [...document.querySelectorAll('#log > div')].map((d) => d.textContent);
      return lines.includes('result: 0') && !document.querySelector('.dialog.top');
    }, null, { timeout: 15000 });
  } catch (e) {
    problems.push('the dropped holder\'s dialog did not end with result 0: ' + (await w.$$eval('#log > div', (ds) => ds.map((d) => d.textContent).slice(-5).join(' / '))));
  }
  if (unitBefore && !fs.readFileSync(cfg.unit).equals(unitBefore)) problems.push('the dropped setup changed the unit');
  await w.waitForSelector('#take', { state: 'visible', timeout: 10000 });
  await w.click('#take');
  await settled(w);
  if (await w.evaluate(() => document.body.classList.contains('watcher'))) problems.push('Take over did not make the watcher the holder');
  problems.push(...h.errors, ...w.errors);
  await watcher.context.close();
  return problems;
}

// Every setup's dialog and each of its pages shown once, then cancelled:
// screenshots and the checks on them (the pseudo locale's longer texts).
async function tour(page, width, touch, tag) {
  const problems = [];
  const operations = await page.$$eval('#groups button', (bs) => bs.map((b) => b.dataset.operation));
  for (const op of operations) {
    if (/ConnectTimeout|UpdateLevelMeter/.test(op)) continue;
    const player = new Player(page, tag + '-' + op, { width, shots: cfg.shots, touch });
    await page.click(`#groups button[data-operation="${op}"]`);
    await settled(page);
    try {
      await page.waitForSelector('.dialog.top', { timeout: 5000 });
    } catch (e) {
      continue;  // a setup without a dialog
    }
    await player.answerBoxes();
    const tabs = await page.$$eval('.dialog.top .tab', (ts) => ts.map((t) => t.dataset.page));
    for (const t of tabs.slice(1)) {
      try {
        await player.step({ verb: 'page', text: t, line: 'page ' + t });
      } catch (e) {
        problems.push(`${op}: page ${t}: ${String(e.message).split('\n')[0]}`);
      }
    }
    for (let i = 0; i < 6 && (await page.$('.dialog.top')); ++i) {
      await page.keyboard.press('Escape');
      await player.answerBoxes();
      if (await page.$('.dialog.top')) {
        await page.click('.dialog.top .dialog-close');
        await player.answerBoxes();
      }
    }
    problems.push(...player.problems.map((p) => op + ': ' + p));
  }
  return problems;
}

// The keys of the Qt front end: Enter presses the default button, Escape
// Cancel, the arrows move in a list; and an action the dialog refuses (a
// page out of date clicking a button since disabled) is shown in the page
// with the dialog as it was.
async function keysAndRefusals(browser) {
  const problems = [];
  const { context, page } = await openConsole(browser, cfg, { width: 1280, height: 800 });
  const lastResult = async (op) => page.evaluate((o) => {
    const lines = [...document.querySelectorAll('#log > div')].map((d) => d.textContent);
    const start = lines.lastIndexOf('== ' + o);
    return start < 0 ? null : (lines.slice(start).find((l) => l.startsWith('result:')) || null);
  }, op);
  const run = async (op) => {
    await page.click(`#groups button[data-operation="${op}"]`);
    await page.waitForSelector('.dialog.top');
    await settled(page);
  };
  const ended = async (op, want, what) => {
    try {
      await page.waitForFunction(() => !document.querySelector('.dialog.top'), null, { timeout: 5000 });
    } catch (e) { /* reported below */ }
    const got = await lastResult(op);
    if (want !== undefined && got !== want) problems.push(`${what}: ${got || 'no result'}, not ${want}`);
  };
  await resetUnit(page);
  // Escape is Cancel; Enter in a field presses OK.
  await run('ShowRecordModeDlg');
  await page.keyboard.press('Escape');
  await ended('ShowRecordModeDlg', 'result: 2', 'Escape');
  await run('ShowTextIPPortSetup');
  await page.locator('.dialog.top input[type=text]').first().click();
  await page.keyboard.press('Enter');
  await settled(page);
  if (await page.$('.box-backdrop')) await page.keyboard.press('Enter');  // the box's own default
  await settled(page);
  if (await page.$('.dialog.top')) await page.keyboard.press('Escape');
  await ended('ShowTextIPPortSetup', undefined, 'Enter');  // checked through the log below
  const enterLines = await page.$$eval('#log > div', (ds) => ds.map((d) => d.textContent));
  const at = enterLines.lastIndexOf('== ShowTextIPPortSetup');
  if (!enterLines.slice(at).some((l) => /^(message|result: 1)/.test(l))) problems.push('Enter in a field did not press OK: ' + enterLines.slice(at).join(' / '));
  // The arrows in a list select its rows.
  await run('ShowTextStreams');
  const list = page.locator('.dialog.top [data-cid="1130"]');
  await list.focus();
  await page.keyboard.press('ArrowDown');
  await settled(page);
  await page.keyboard.press('ArrowDown');
  await settled(page);
  const selected = await list.locator('tr.row.selected').getAttribute('data-row').catch(() => null);
  if (selected !== '1') problems.push('ArrowDown twice selected row ' + selected);
  await page.keyboard.press('Escape');
  await ended('ShowTextStreams', undefined, 'Escape');
  // A click the dialog refuses: a volume action with no volume selected.
  await run('ShowStorage');
  const before = await page.$$eval('.dialog.top .ctl', (cs) => cs.length);
  const first = page.locator('.dialog.top .ctl.button:disabled').first();
  if (await first.count()) {
    const disabled = page.locator(`.dialog.top [data-cid="${await first.getAttribute('data-cid')}"]`);
    await disabled.evaluate((b) => { b.disabled = false; });
    await disabled.click();
    await settled(page);
    const error = await page.locator('.dialog.top .dialog-error').textContent();
    if (!(await page.isVisible('.dialog.top .dialog-error')) || !/disabled|not/i.test(error)) problems.push('a refused click shows no error: ' + error);
    if ((await page.$$eval('.dialog.top .ctl', (cs) => cs.length)) !== before) problems.push('a refused click changed the dialog');
    if (!(await disabled.isDisabled())) problems.push('the refused button is not shown disabled again');
    if (cfg.shots) await page.screenshot({ path: path.join(cfg.shots, 'Console-02-refused-1280.png'), fullPage: true });
  } else {
    problems.push('no disabled button to try');
  }
  await page.keyboard.press('Escape');
  await settled(page);
  if (await page.$('.dialog.top')) await page.click('.dialog.top .dialog-close');
  await settled(page);
  problems.push(...page.errors);
  await context.close();
  return problems;
}

(async () => {
  const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelle-web-suite-'));
  if (cfg.shots) {
    // This run's screenshots replace the last run's of the same kind.
    fs.mkdirSync(cfg.shots, { recursive: true });
    const tour = process.env.MIRELLE_WEB_TOUR;
    for (const f of fs.readdirSync(cfg.shots)) {
      if (f.endsWith('.png') && (tour ? f.startsWith(tour + '-') : !/^[A-Z]+-Show/.test(f))) fs.rmSync(path.join(cfg.shots, f));
    }
  }
  const scripts = process.env.MIRELLE_WEB_TOUR ? [] : demoScripts(cfg.source).filter((s) => !only || only.test(s.name));
  const bases = new Map();
  for (const s of scripts) bases.set(s.name, baseline(s, tmp));
  const browser = await launch();
  try {
    for (const size of SIZES.filter((s) => widths.includes(s.width))) {
      const touch = size.width < 600;
      const { context, page } = await openConsole(browser, cfg, size);
      if (cfg.shots) {
        await page.screenshot({ path: path.join(cfg.shots, `Console-00-start-${size.width}.png`), fullPage: true });
      }
      if (process.env.MIRELLE_WEB_TOUR) {
        const started = Date.now();
        const problems = await tour(page, size.width, touch, process.env.MIRELLE_WEB_TOUR);
        problems.push(...page.errors.splice(0));
        report(problems.length === 0, `every dialog and page in ${process.env.MIRELLE_WEB_TOUR} at ${size.width}x${size.height} (${((Date.now() - started) / 1000).toFixed(1)} s)`, problems);
        await context.close();
        continue;
      }
      const record = size.width === 1280;
      if (record) {
        await page.check('#record');
        await settled(page);
      }
      for (const s of scripts) {
        const started = Date.now();
        let problems;
        try {
          problems = await playOne(page, s, size.width, touch, bases.get(s.name));
          if (record) problems.push(...(await checkRecording(page, s, page.toggles || new Set(), page.noops || [])));
        } catch (e) {
          problems = [String(e.stack || e).split('\n').slice(0, 3).join(' | ')];
          // Whatever the run left open goes before the next one.
          await page.reload();
          await page.waitForSelector('#groups button', { timeout: 15000 });
        }
        problems.push(...page.errors.splice(0));
        report(problems.length === 0, `${s.name} at ${size.width}x${size.height} (${((Date.now() - started) / 1000).toFixed(1)} s)`, problems);
      }
      await context.close();
    }
    if ((!only || only.test('extras')) && !process.env.MIRELLE_WEB_TOUR) {
      const started = Date.now();
      let problems;
      try {
        problems = await holderAndWatcher(browser);
      } catch (e) {
        problems = [String(e.stack || e).split('\n').slice(0, 3).join(' | ')];
      }
      report(problems.length === 0, `a watcher, a reload and a dropped holder (${((Date.now() - started) / 1000).toFixed(1)} s)`, problems);
      const keysStarted = Date.now();
      try {
        problems = await keysAndRefusals(browser);
      } catch (e) {
        problems = [String(e.stack || e).split('\n').slice(0, 3).join(' | ')];
      }
      report(problems.length === 0, `keys and a refused action (${((Date.now() - keysStarted) / 1000).toFixed(1)} s)`, problems);
    }
  } finally {
    await browser.close();
    fs.rmSync(tmp, { recursive: true, force: true });
  }
  console.log(`${count - failures} of ${count} passed`);
  process.exit(failures ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(2);
});
