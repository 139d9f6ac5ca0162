// What the browser tests and the page benchmark share: Debian's chromium
// started once, a logged-in page, waiting for the server to answer.
'use strict';
const { chromium } = require('playwright-core');

const CHROMIUM_ARGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

function config() {
  const need = (name) => {
    const v = process.env[name];
    if (!v) throw new Error(name + ' is not set (run the tests through run.sh)');
    return v;
  };
  return {
    url: need('MIRELLE_WEB_URL').replace(/\/$/, ''),
    user: need('MIRELLE_WEB_USER'),
    password: need('MIRELLE_WEB_PASSWORD'),
    unit: process.env.MIRELLE_WEB_UNIT || '',
    run: process.env.MIRELLE_RUN || '',
    source: process.env.MIRELLE_SOURCE_DIR || '',
    shots: process.env.MIRELLE_WEB_SHOTS || '',
  };
}

async function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: CHROMIUM_ARGS,
    headless: true,
  });
}

// A new browser context of the given size (a phone: touch, coarse pointer)
// with a page logged in to the console.
async function openConsole(browser, cfg, size, options) {
  const phone = size.width < 600;
  const context = await browser.newContext({
    viewport: { width: size.width, height: size.height },
    hasTouch: phone,
    isMobile: phone,
    ignoreHTTPSErrors: true,  // the console's own self-signed certificate
  });
  const page = await context.newPage();
  page.setDefaultTimeout(10000);
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e && e.message)));
  page.on('console', (m) => {
    if (m.type() === 'error') page.errors.push('console: ' + m.text());
  });
  await login(page, cfg, options && options.user);
  if (!(options && options.watch)) await takeOver(page);
  return { context, page };
}

// Holds the setup: a session that logs in while another one's dropped
// connection still holds it takes over once it is free.
async function takeOver(page, timeout = 20000) {
  const until = Date.now() + timeout;
  while (Date.now() < until) {
    if (!(await page.evaluate(() => document.body.classList.contains('watcher')))) return;
    if (await page.isVisible('#take')) {
      await page.click('#take');
      await settled(page);
    }
    await page.waitForTimeout(200);
  }
  throw new Error('the page did not come to hold the setup');
}

async function login(page, cfg, user) {
  await page.goto(cfg.url + '/login');
  await page.fill('#user', user || cfg.user);
  await page.fill('#password', cfg.password);
  await Promise.all([page.waitForURL(cfg.url + '/'), page.click('.login-form button[type=submit]')]);
  await page.waitForSelector('#groups button', { timeout: 15000 });
}

// Until the server has answered everything the page sent (the page pings
// after each message and counts the pongs).
async function settled(page, timeout = 15000) {
  try {
    await page.waitForFunction(() => document.body.dataset.inflight === '0', null, { timeout, polling: 5 });
  } catch (e) {
    const what = await page.evaluate(() => ({
      inflight: document.body.dataset.inflight,
      box: !!document.querySelector('.box-backdrop'),
      dialog: (document.querySelector('.dialog.top') || { dataset: {} }).dataset.template,
      connection: document.getElementById('connection').textContent,
      log: [...document.querySelectorAll('#log > div')].slice(-4).map((d) => d.textContent),
    })).catch(() => ({}));
    throw new Error('the server did not answer in ' + timeout + ' ms: ' + JSON.stringify(what));
  }
}

module.exports = { config, launch, openConsole, login, settled, takeOver };
