'use strict';
const { chromium } = require('playwright-core');
(async () => {
  const b = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'] });
  for (const [w, h, touch] of [[1280, 800, false], [390, 844, true]]) {
    const ctx = await b.newContext({ viewport: { width: w, height: h }, hasTouch: touch, isMobile: touch });
    const p = await ctx.newPage();
    p.on('console', (m) => console.log('console:', m.text()));
    p.on('pageerror', (e) => console.log('pageerror:', e.message));
    await p.goto('http://127.0.0.1:' + process.argv[2] + '/');
    await p.click('button[data-operation=ShowCameras]');
    await p.waitForSelector('.dialog');
    await p.screenshot({ path: `/tmp/mock-${w}.png`, fullPage: true });
    console.log(w, await p.evaluate(() => [document.documentElement.scrollWidth, innerWidth]));
    await ctx.close();
  }
  await b.close();
})();
