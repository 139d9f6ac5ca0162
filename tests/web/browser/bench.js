// The page's figures, in Chromium on localhost: page load to the first
// dialog shown (a reload while a setup runs: the server sends the dialog
// stack again), and an operator action to the repaint that shows the
// server's answer (radio buttons clicked in turn).  p50 and p99.
// Started by run.sh bench [RELOADS] [CLICKS].
'use strict';
const { config, launch, openConsole, settled } = require('./common');

const cfg = config();
const reloads = Number(process.argv[2] || 30);
const clicks = Number(process.argv[3] || 200);

function percentile(values, p) {
  const v = [...values].sort((a, b) => a - b);
  if (!v.length) return NaN;
  return v[Math.min(v.length - 1, Math.ceil((p / 100) * v.length) - 1)];
}
function line(name, values) {
  const f = (x) => x.toFixed(1) + ' ms';
  console.log(`${name.padEnd(34)} n=${String(values.length).padEnd(5)} p50 ${f(percentile(values, 50)).padStart(9)}  p99 ${f(percentile(values, 99)).padStart(9)}`);
}

(async () => {
  const browser = await launch();
  const { page } = await openConsole(browser, cfg, { width: 1280, height: 800 });
  await page.click('#reset');
  await settled(page);
  await page.click('#groups button[data-operation="ShowRecordModeDlg"]');
  await page.waitForSelector('.dialog.top');
  await settled(page);

  const loads = [], opens = [], messages = [];
  for (let i = 0; i < reloads; ++i) {
    await page.reload();
    await page.waitForFunction(() => window.mirelleTimings && window.mirelleTimings.firstDialog > 0, null, { timeout: 15000, polling: 5 });
    const t = await page.evaluate(() => window.mirelleTimings);
    loads.push(t.firstDialog);
    opens.push(t.socketOpen);
    messages.push(t.dialogMessage);
  }
  await settled(page);

  // The dialog's two radio buttons, clicked in turn: each click changes
  // both, and the server sends the change.
  const radios = page.locator('.dialog.top .ctl.radio');
  const on = await radios.nth(0).locator('input').isChecked();
  await page.evaluate(() => { window.mirelleTimings.repaints.length = 0; window.mirelleTimings.answers.length = 0; });
  for (let i = 0; i < clicks; ++i) {
    await radios.nth((i + (on ? 1 : 0)) % 2).click();
    await settled(page);
  }
  await page.waitForTimeout(50);
  const repaints = await page.evaluate(() => window.mirelleTimings.repaints.slice());
  const answers = await page.evaluate(() => window.mirelleTimings.answers.slice());
  await page.keyboard.press('Escape');
  await settled(page);
  await browser.close();
  line("web/page-load-to-first-dialog", loads);
  line('web/action-to-repaint', repaints);
  // Where the time goes.
  line('web/page-load-to-socket-open', opens);
  line('web/page-load-to-dialog-message', messages);
  line('web/action-to-answer-received', answers);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
