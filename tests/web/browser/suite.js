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
  return problems;
}

(async () => {
  const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelle-web-suite-'));
  if (cfg.shots) fs.mkdirSync(cfg.shots, { recursive: true });
  const scripts = demoScripts(cfg.source).filter((s) => !only || only.test(s.name));
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
      for (const s of scripts) {
        const started = Date.now();
        let problems;
        try {
          problems = await playOne(page, s, size.width, touch, bases.get(s.name));
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
