// Drives the playground page in headless Chromium, spoken to over the
// DevTools protocol on a pipe (no packages needed): loads the page, clicks
// Draw, waits for the picture and its map, hovers a map area, takes a
// screenshot and prints what it found as one JSON line.
//
//   node playground_check.js URL SCREENSHOT.png [CHROMIUM]
//
// Exit status 0 when the page drew, 1 otherwise (the reason on stderr).
"use strict";
const {spawn} = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const [url, screenshot, chromium = "/usr/bin/chromium"] = process.argv.slice(2);
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "playground-"));
const browser = spawn(chromium, [
  "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
  "--user-data-dir=" + profile, "--remote-debugging-pipe", "--window-size=1280,900",
  "about:blank"], {stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"]});
let stderr = "";
browser.stderr.on("data", d => { stderr += d; });

function finish(code, message) {
  if (message) process.stderr.write(message + "\n");
  try { browser.kill("SIGKILL"); } catch (e) {}
  try { fs.rmSync(profile, {recursive: true, force: true}); } catch (e) {}
  process.exit(code);
}
setTimeout(() => finish(1, "timed out; chromium said:\n" + stderr.slice(-2000)), 40000);

// Messages go out on fd 3 and come back on fd 4, each ended by a NUL.
const toBrowser = browser.stdio[3], fromBrowser = browser.stdio[4];
let nextId = 1, pending = new Map(), waiters = [], received = "";
fromBrowser.on("data", chunk => {
  received += chunk;
  let end;
  while ((end = received.indexOf("\0")) >= 0) {
    const message = JSON.parse(received.slice(0, end));
    received = received.slice(end + 1);
    if (message.id && pending.has(message.id)) {
      const {resolve, reject} = pending.get(message.id);
      pending.delete(message.id);
      message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
    } else if (message.method) {
      waiters = waiters.filter(w => !(w.method === message.method && (w.resolve(message.params), true)));
    }
  }
});
function send(method, params = {}, sessionId) {
  const id = nextId++;
  toBrowser.write(JSON.stringify({id, method, params, sessionId}) + "\0");
  return new Promise((resolve, reject) => pending.set(id, {resolve, reject}));
}
const event = method => new Promise(resolve => waiters.push({method, resolve}));
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

async function main() {
  const {targetId} = await send("Target.createTarget", {url: "about:blank"});
  const {sessionId} = await send("Target.attachToTarget", {targetId, flatten: true});
  const page = (method, params) => send(method, params, sessionId);
  const evaluate = async expression =>
    (await page("Runtime.evaluate", {expression, returnByValue: true, awaitPromise: true})).result.value;
  await page("Page.enable");
  const loaded = event("Page.loadEventFired");
  await page("Page.navigate", {url});
  await loaded;
  const title = await evaluate("document.title");
  await evaluate("document.getElementById('draw').click()");
  let found = null;
  for (let i = 0; i < 150; ++i) {
    found = await evaluate(`(() => {
      const img = document.getElementById('chart');
      const areas = [...document.querySelectorAll('#map-box area')];
      return {width: img.naturalWidth, height: img.naturalHeight, usemap: img.useMap,
              areas: areas.map(a => ({title: a.title, shape: a.shape, coords: a.coords})),
              status: document.getElementById('status').textContent,
              document: document.getElementById('document').textContent.length};
    })()`);
    if (found.width > 0 && found.areas.length > 0 && found.document > 0) break;
    await sleep(100);
  }
  // Hover the middle of the first rectangular area; the page shows its title.
  const rect = found.areas.find(a => a.shape === "rect");
  if (rect) {
    const [l, t, r, b] = rect.coords.split(",").map(Number);
    const origin = await evaluate(`(() => { const r = document.getElementById('chart')
      .getBoundingClientRect(); return {x: r.left, y: r.top}; })()`);
    await page("Input.dispatchMouseEvent",
               {type: "mouseMoved", x: origin.x + (l + r) / 2, y: origin.y + (t + b) / 2});
    await sleep(200);
    found.hovered = await evaluate("document.getElementById('hover').textContent");
  }
  const shot = await page("Page.captureScreenshot", {format: "png"});
  fs.writeFileSync(screenshot, Buffer.from(shot.data, "base64"));
  process.stdout.write(JSON.stringify({title, ...found}) + "\n");
  await send("Browser.close").catch(() => {});
  finish(found.width > 0 && found.areas.length > 0 ? 0 : 1);
}
main().catch(e => finish(1, String(e.stack || e)));
