// Drives the playground page in headless Chromium (devtools.js): loads the page, puts
// the script of SCRIPT_FILE (if given) in the editor, clicks Draw, waits for
// the picture and its map, reads the member reference, hovers a map area,
// takes a screenshot and prints what it found as one JSON line, with what of
// the page did not come from the page itself: elements with an id
// "injected", elements with event handler attributes, pictures but the
// chart, what set window.pwned, and the page's own policy violations.
//
//   node playground_check.js URL SCREENSHOT.png [SCRIPT_FILE]
//
// Exit status 0 when the page drew, 1 otherwise (the reason on stderr).
"use strict";
const {launch, sleep} = require("./devtools");

const fs = require("fs");
const [url, screenshot, scriptFile] = process.argv.slice(2);
const browser = launch("/usr/bin/chromium", 40000);
const finish = browser.finish;

async function main() {
  const {page, evaluate} = await browser.openPage();
  await browser.load(page, url);
  const title = await evaluate("document.title");
  await evaluate(`window.violations = [];
    document.addEventListener("securitypolicyviolation",
                              e => violations.push(e.violatedDirective + " " + e.blockedURI));`);
  if (scriptFile) {
    const text = JSON.stringify(fs.readFileSync(scriptFile, "utf8"));
    await evaluate(`document.getElementById('script').value = ${text}`);
  }
  await evaluate("document.getElementById('draw').click()");
  let found = null;
  for (let i = 0; i < 150; ++i) {
    found = await evaluate(`(() => {
      const img = document.getElementById('chart');
      const areas = [...document.querySelectorAll('#map-box area')];
      return {width: img.naturalWidth, height: img.naturalHeight, usemap: img.useMap,
              areas: areas.map(a => ({title: a.title, shape: a.shape, coords: a.coords,
                                      href: a.getAttribute("href")})),
              status: document.getElementById('status').textContent,
              document: document.getElementById('document').textContent.length,
              members: document.querySelectorAll('#members dt').length,
              title: (() => { const dt = document.getElementById('member-Title');
                              return dt ? dt.textContent + " " + dt.nextElementSibling.textContent : ""; })()};
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
  Object.assign(found, await evaluate(`(() => {
    const all = [...document.querySelectorAll("*")];
    return {injected: document.querySelectorAll("#injected").length,
            handlers: all.filter(e => [...e.attributes].some(a => a.name.startsWith("on"))).length,
            images: document.images.length, pwned: String(window.pwned), violations};
  })()`));
  await browser.screenshot(page, screenshot);
  process.stdout.write(JSON.stringify({page: title, ...found}) + "\n");
  await browser.send("Browser.close").catch(() => {});
  finish(found.width > 0 && found.areas.length > 0 ? 0 : 1);
}
main().catch(e => finish(1, String(e.stack || e)));
