// Headless Chromium spoken to over the DevTools protocol on a pipe (no
// packages needed), for the page checks beside it: starts the browser with a
// profile of its own, opens one page and gives its session, and ends
// everything when the check finishes or runs out of time.
"use strict";
const {spawn} = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

// Starts `chromium`; after `timeoutMs` the process ends with status 1.
function launch(chromium, timeoutMs, windowSize = "1280,900") {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "devtools-"));
  const browser = spawn(chromium, [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--user-data-dir=" + profile, "--remote-debugging-pipe", "--window-size=" + windowSize,
    "about:blank"], {stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"]});
  let stderr = "";
  browser.stderr.on("data", d => { stderr += d; });

  function finish(code, message) {
    if (message) process.stderr.write(message + "\n");
    try { browser.kill("SIGKILL"); } catch (e) {}
    try { fs.rmSync(profile, {recursive: true, force: true}); } catch (e) {}
    process.exit(code);
  }
  setTimeout(() => finish(1, "timed out; chromium said:\n" + stderr.slice(-2000)), timeoutMs);

  // Messages go out on fd 3 and come back on fd 4, each ended by a NUL.
  const toBrowser = browser.stdio[3], fromBrowser = browser.stdio[4];
  let nextId = 1, waiters = [], received = "";
  const pending = new Map();
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

  // A new page: `page` sends to it, `evaluate` gives an expression's value.
  async function openPage() {
    const {targetId} = await send("Target.createTarget", {url: "about:blank"});
    const {sessionId} = await send("Target.attachToTarget", {targetId, flatten: true});
    const page = (method, params) => send(method, params, sessionId);
    const evaluate = async expression =>
      (await page("Runtime.evaluate", {expression, returnByValue: true, awaitPromise: true})).result.value;
    await page("Page.enable");
    return {page, evaluate};
  }
  // Navigates and waits for the load event.
  async function load(page, url) {
    const loaded = event("Page.loadEventFired");
    await page("Page.navigate", {url});
    await loaded;
  }
  async function screenshot(page, file) {
    const shot = await page("Page.captureScreenshot", {format: "png"});
    fs.writeFileSync(file, Buffer.from(shot.data, "base64"));
  }
  return {send, event, openPage, load, screenshot, finish};
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

module.exports = {launch, sleep};
