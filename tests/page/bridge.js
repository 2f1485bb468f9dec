// Drives Firefox for the page's tests through WebDriver BiDi (puppeteer-core), with the browser
// Debian ships: engines.py starts this and talks to it in lines of JSON, one request on stdin,
// one answer on stdout ({ok, value} or {ok: false, error}), so the tests stay in Python.
'use strict';

const readline = require('readline');
const puppeteer = require('puppeteer-core');

let browser = null;
let page = null;
const pageErrors = [];

const buttons = {left: 'left', right: 'right', middle: 'middle'};

function button(name) {
  if (!buttons[name]) throw new Error(`no mouse button '${name}'`);
  return buttons[name];
}

const requests = {
  async launch({executable, width, height}) {
    browser = await puppeteer.launch({
      browser: 'firefox',
      executablePath: executable,
      headless: true,
      defaultViewport: {width, height},
      // The page's sound starts in the first gesture anyway; the tests' own presses count as
      // gestures, and nothing else may wait for one.
      extraPrefsFirefox: {'media.autoplay.default': 0},
    });
    page = await browser.newPage();
    page.on('pageerror', (error) => pageErrors.push(String(error && error.message || error)));
    return browser.version();
  },
  async open({url}) {
    await page.goto(url, {waitUntil: 'load'});
  },
  async reload() {
    await page.reload({waitUntil: 'load'});
  },
  async evaluate({expression}) {
    return page.evaluate(expression);
  },
  async mouse({action, x, y, button: name}) {
    if (action === 'move') return page.mouse.move(x, y);
    await page.mouse.move(x, y);
    if (action === 'down') return page.mouse.down({button: button(name)});
    if (action === 'up') return page.mouse.up({button: button(name)});
    throw new Error(`no mouse action '${action}'`);
  },
  async key({action, key}) {
    if (action === 'down') return page.keyboard.down(key);
    if (action === 'up') return page.keyboard.up(key);
    throw new Error(`no key action '${action}'`);
  },
  async screenshot({path}) {
    await page.screenshot({path});
  },
  async errors() {
    return pageErrors.splice(0);
  },
  async quit() {
    if (browser) await browser.close();
    browser = null;
  },
};

async function answer(line) {
  let request;
  try {
    request = JSON.parse(line);
    const handle = requests[request.op];
    if (!handle) throw new Error(`no request '${request.op}'`);
    const value = await handle(request);
    return {ok: true, value: value === undefined ? null : value};
  } catch (error) {
    return {ok: false, error: String(error && error.stack || error)};
  }
}

// One request at a time, in order: the Python side waits for each answer.
const lines = readline.createInterface({input: process.stdin});
let queue = Promise.resolve();
lines.on('line', (line) => {
  queue = queue.then(async () => {
    process.stdout.write(JSON.stringify(await answer(line)) + '\n');
  });
});
lines.on('close', () => {
  queue.then(() => (browser ? browser.close() : null)).finally(() => process.exit(0));
});
