// Plays a mirelle-run script on the console page as an operator would: each
// line becomes the clicks and typing that make the page send that line.
// Message boxes are answered as the script's `answer` lines say when they
// show; a screenshot is taken of every dialog, page and box shown.
'use strict';
const fs = require('fs');
const path = require('path');
const { settled } = require('./common');

function parseScript(text) {
  const steps = [];
  for (const raw of text.split('\n')) {
    const line = raw.replace(/\r$/, '');
    if (!line.trim() || line.trimStart().startsWith('#')) continue;
    const m = /^(\S+)\s*(.*)$/.exec(line.trim());
    const verb = m[1];
    const rest = m[2];
    if (verb === 'line') {
      // A further line of the text the set before it types.
      const [, id, text] = /^(\d+) ?(.*)$/.exec(rest);
      const last = steps[steps.length - 1];
      if (!last || last.verb !== 'set' || last.id !== Number(id)) throw new Error('line without its set: ' + line);
      last.text += '\n' + text;
      continue;
    }
    if (verb === 'set' || verb === 'page') {
      const sm = verb === 'set' ? /^(\d+) ?(.*)$/.exec(rest) : null;
      steps.push(verb === 'set' ? { verb, id: Number(sm[1]), text: sm[2], line } : { verb, text: rest, line });
      continue;
    }
    const words = rest ? rest.split(/\s+/) : [];
    steps.push({ verb, words, id: /^\d+$/.test(words[0] || '') ? Number(words[0]) : 0, line });
  }
  return steps;
}

class Player {
  constructor(page, operation, options) {
    this.page = page;
    this.operation = operation;
    this.width = options.width;
    this.shots = options.shots;
    this.checkTargets = !!options.touch;
    this.answers = [];
    this.seen = new Set();
    this.count = 0;
    this.problems = [];
    this.toggles = new Set();  // check boxes and radio buttons clicked
    // Script lines that change nothing the page shows (a box ticked that
    // is ticked, a text typed that the field has): an operator has nothing
    // to do for them and the page sends nothing.
    this.noops = [];
  }

  top() { return this.page.locator('.dialog.top'); }
  control(id) { return this.top().locator(`[data-cid="${id}"]`).first(); }

  async shot(what) {
    if (!this.shots) return;
    this.count += 1;
    const name = `${this.operation}-${String(this.count).padStart(2, '0')}-${what}-${this.width}.png`
      .replace(/[^A-Za-z0-9._-]+/g, '_');
    const box = await this.page.$('.box-backdrop');
    await this.page.screenshot({ path: path.join(this.shots, name), fullPage: !box });
    await this.checkView(name);
  }

  // What a screenshot must show: no horizontal scrolling, no text cut off,
  // every target big enough for a finger on a touch screen.
  async checkView(name) {
    const found = await this.page.evaluate((touch) => {
      const out = [];
      const doc = document.documentElement;
      if (doc.scrollWidth > window.innerWidth + 1) out.push(`scrolls sideways (${doc.scrollWidth} > ${window.innerWidth})`);
      const visible = (el) => el.offsetParent !== null && el.getClientRects().length > 0;
      const scope = document.querySelector('.box-backdrop') || document.querySelector('.dialog.top') || document.body;
      for (const el of scope.querySelectorAll('.ctl.button, .ctl.static, .ctl.check .text, .ctl.radio .text, .tab, .box-buttons .btn, .group-title')) {
        if (!visible(el)) continue;
        if (el.scrollWidth > el.clientWidth + 1 || el.scrollHeight > el.clientHeight + 2) {
          const box = el.closest('.ctl') || el;
          if (getComputedStyle(box).overflow === 'visible' && el.classList.contains('group-title')) continue;
          out.push(`text cut off in ${box.dataset.cid || el.className}: "${el.textContent.slice(0, 40)}" (${el.scrollWidth}x${el.scrollHeight} in ${el.clientWidth}x${el.clientHeight})`);
        }
        const r = el.getBoundingClientRect();
        if (r.right > window.innerWidth + 1) out.push(`${el.dataset.cid || el.className} reaches past the window's right edge`);
      }
      if (touch) {
        for (const el of scope.querySelectorAll('button, input, select, textarea, .ctl.check, .ctl.radio, tr.row, [role=tab]')) {
          // A box inside its label is touched through the label.
          if (!visible(el) || (el.tagName === 'INPUT' && el.closest('label'))) continue;
          if (el.closest('tr.row') && el.tagName === 'INPUT') continue;
          if (el.type === 'range') continue;
          const r = el.getBoundingClientRect();
          if (r.height < 43.5 || (r.width < 43.5 && el.tagName !== 'TR')) {
            out.push(`touch target under 44 px: ${el.closest('[data-cid]') ? el.closest('[data-cid]').dataset.cid : el.className || el.tagName} ${Math.round(r.width)}x${Math.round(r.height)}`);
          }
        }
      }
      return out;
    }, this.checkTargets);
    for (const f of found) this.problems.push(`${name}: ${f}`);
  }

  // A new dialog on top or a message box: its screenshot, once.
  async look() {
    const box = await this.page.$('.box-backdrop .box');
    if (box) {
      const n = await box.getAttribute('data-box');
      if (!this.seen.has('box' + n)) {
        this.seen.add('box' + n);
        await this.shot('box');
      }
      return true;
    }
    const d = await this.page.$('.dialog.top');
    if (d) {
      const key = (await d.getAttribute('data-dialog')) + '/' + (await d.getAttribute('data-template'));
      if (!this.seen.has(key)) {
        this.seen.add(key);
        await this.shot('dialog' + (await d.getAttribute('data-template')));
      }
    }
    return false;
  }

  // Answers the boxes that show, as the script said before the action that
  // opened them (or the cautious answer when it said nothing).
  async answerBoxes() {
    for (let i = 0; i < 20; ++i) {
      await settled(this.page);
      if (!(await this.look())) return;
      const answers = await this.page.$$eval('.box-backdrop .box-buttons button', (bs) => bs.map((b) => b.dataset.answer));
      let want = this.answers.shift();
      if (!want || !answers.includes(want)) {
        if (want) this.problems.push(`box has no ${want} button (${answers.join(',')})`);
        want = ['cancel', 'no', 'ok'].find((a) => answers.includes(a)) || answers[0];
      }
      await this.page.click(`.box-backdrop .box-buttons button[data-answer="${want}"]`);
    }
  }

  // Until the dialog's work is done: the top dialog not busy (its worker
  // ended) and the messages of its end in.
  async waitIdle() {
    const quiet = async () => {
      await settled(this.page);
      await this.page.waitForFunction(() => {
        const d = document.querySelector('.dialog.top');
        return document.querySelector('.box-backdrop') || !d || d.dataset.busy !== 'true';
      }, null, { timeout: 60000, polling: 20 });
      await this.page.waitForFunction(() => performance.now() - (window.mirelleTimings.lastMessage || 0) > 100,
        null, { timeout: 60000, polling: 20 });
      await settled(this.page);
    };
    for (let i = 0; i < 20; ++i) {
      await quiet();
      if (!(await this.page.$('.box-backdrop'))) return;
      await this.answerBoxes();
    }
  }

  async step(s) {
    const page = this.page;
    switch (s.verb) {
      case 'answer': this.answers.push(s.words[0]); return;
      case 'wait': await this.waitIdle(); return;
      case 'close': await this.top().locator('.dialog-close').click(); break;
      case 'page': {
        const tab = this.top().locator('.tab').filter({ hasText: s.text }).first();
        await tab.click();
        await settled(page);
        await this.shot('page-' + s.text);
        break;
      }
      case 'set': {
        const field = this.control(s.id).locator('input, textarea').first();
        if ((await field.inputValue()).replace(/\r\n/g, '\n') === s.text) {
          this.noops.push(s.line);
          break;
        }
        await field.click();
        await page.keyboard.press('Control+A');
        if (s.text === '') {
          await page.keyboard.press('Backspace');
        } else {
          const lines = s.text.split('\n');
          for (let i = 0; i < lines.length; ++i) {
            if (i) await page.keyboard.press('Enter');
            if (lines[i]) await page.keyboard.type(lines[i]);
          }
        }
        // Leaving the field commits it.
        await page.keyboard.press('Tab');
        break;
      }
      case 'click': {
        if (s.id && /\b(check|radio)\b/.test(await this.control(s.id).getAttribute('class'))) this.toggles.add(s.id);
        if (!s.id) {
          const label = s.words.join(' ');
          await this.top().locator('.ctl.button').filter({ hasText: new RegExp('^' + label + '$', 'i') }).first().click();
        } else {
          await this.control(s.id).click();
        }
        break;
      }
      case 'tick': {
        this.toggles.add(s.id);
        const box = this.control(s.id).locator('input');
        const want = s.words[1] === '1';
        const type = await box.getAttribute('type');
        if (type === 'radio' ? want : (await box.isChecked()) !== want) await this.control(s.id).click();
        else this.noops.push(s.line);
        break;
      }
      case 'select':
      case 'dblclick': {
        const n = Number(s.words[1]);
        const el = this.control(s.id);
        const cls = await el.getAttribute('class');
        if (/\bcombo\b/.test(cls)) {
          await el.locator('select').selectOption({ index: n });
        } else if (/\bpanegrid\b/.test(cls)) {
          await el.locator(`.pane[data-row="${n}"]`).click();
        } else {
          const row = el.locator(`tr.row[data-row="${n}"]`);
          await row.scrollIntoViewIfNeeded();
          if (s.verb === 'dblclick') await row.dblclick();
          else await row.click();
        }
        break;
      }
      case 'check': {
        const row = this.control(s.id).locator(`tr.row[data-row="${Number(s.words[1])}"]`);
        const want = s.words[2] === '1';
        if ((await row.getAttribute('aria-checked')) === 'true' !== want) {
          await row.scrollIntoViewIfNeeded();
          await row.click();
        }
        break;
      }
      case 'slide': {
        const el = this.control(s.id);
        const want = Number(s.words[1]);
        if (/\bspin\b/.test(await el.getAttribute('class'))) {
          // One press of an arrow per step, each answered before the next.
          for (let i = 0; i < 200; ++i) {
            const now = await this.position(s.id);
            if (now === want) break;
            await el.locator(want > now ? '.spin-up' : '.spin-down').click();
            await settled(page);
          }
        } else {
          const input = el.locator('input');
          await input.focus();
          const now = Number(await input.inputValue());
          const key = want > now ? 'ArrowUp' : 'ArrowDown';
          for (let i = 0; i < Math.abs(want - now); ++i) await page.keyboard.press(key);
          await page.keyboard.press('Tab');
        }
        break;
      }
      default:
        throw new Error('cannot play: ' + s.line);
    }
    await this.answerBoxes();
  }

  async position(id) {
    return this.page.evaluate((cid) => {
      const el = document.querySelector(`.dialog.top [data-cid="${cid}"]`);
      return el ? Number(el.dataset.position) : NaN;
    }, id);
  }
}

function demoScripts(source) {
  const dir = path.join(source, 'apps/demo');
  return fs.readdirSync(dir).filter((f) => f.endsWith('.script')).sort().map((f) => {
    const text = fs.readFileSync(path.join(dir, f), 'utf8');
    const m = /^# operation: *(\S+)/.exec(text);
    return { file: path.join(dir, f), name: f, operation: m ? m[1] : '', text };
  }).filter((s) => s.operation);
}

module.exports = { parseScript, Player, demoScripts };
