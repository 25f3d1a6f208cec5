// Opens the gallery page of `plotvane demo` in headless Chromium
// (devtools.js) from file://, waits for every picture, and reports as one
// JSON line: the sections with their charts, how many pictures loaded, each
// chart's script as the page shows it, what lies under the middle of the
// first and the last area of each chart's map on its PNG picture, and the
// titles a real mouse hovering the first chart of each section meets. Takes
// a screenshot of the top of the page and one of the last section.
//
//   node gallery_check.js INDEX.html SCREENSHOT-PREFIX [CHROMIUM]
//
// Exit status 0 when the page loaded, 1 otherwise (the reason on stderr).
"use strict";
const path = require("path");
const {launch, sleep} = require("./devtools");

const [index, shots, chromium = "/usr/bin/chromium"] = process.argv.slice(2);
const browser = launch(chromium, 60000);

// In the page: the middle of an area, in the coordinates of its picture.
const kMiddle = `const middle = area => {
  const c = area.coords.split(",").map(Number);
  if (area.shape === "circle") return [c[0], c[1]];
  const xs = c.filter((_, i) => i % 2 === 0), ys = c.filter((_, i) => i % 2 === 1);
  const mean = v => v.reduce((a, b) => a + b, 0) / v.length;
  return area.shape === "rect" ? [(c[0] + c[2]) / 2, (c[1] + c[3]) / 2] : [mean(xs), mean(ys)];
};
const png = article => article.querySelector("img[src$='.png']");`;

async function main() {
  const {page, evaluate} = await browser.openPage();
  await browser.load(page, "file://" + path.resolve(index));
  let images = null;
  for (let i = 0; i < 100; ++i) {
    images = await evaluate(`(() => {
      const all = [...document.images];
      return {total: all.length, complete: all.filter(i => i.complete).length,
              loaded: all.filter(i => i.complete && i.naturalWidth > 0).length};
    })()`);
    if (images.complete === images.total) break;
    await sleep(100);
  }
  await browser.screenshot(page, shots + ".png");
  const found = await evaluate(`(() => {
    ${kMiddle}
    const sections = [...document.querySelectorAll("section")].map(s => ({
      heading: s.querySelector("h2").textContent,
      entries: [...s.querySelectorAll("article")].map(a => a.id)}));
    const scripts = {};
    const hits = [];
    for (const article of document.querySelectorAll("article")) {
      scripts[article.id] = article.querySelector("pre").textContent;
      const img = png(article);
      const areas = [...article.querySelectorAll("map area")];
      for (const area of [areas.find(a => a.shape !== "poly") || areas[0], areas[areas.length - 1]]) {
        if (!area) continue;
        img.scrollIntoView({block: "center"});
        const box = img.getBoundingClientRect();
        const [x, y] = middle(area);
        const hit = document.elementFromPoint(box.left + x, box.top + y);
        hits.push({entry: article.id, want: area.title, tag: hit ? hit.tagName : "",
                   map: hit && hit.parentElement ? hit.parentElement.name || "" : "",
                   title: hit ? hit.title : ""});
      }
    }
    window.scrollTo(0, 0);
    return {title: document.title, sections, scripts, hits};
  })()`);
  // A real mouse over the first area of the first chart of each section.
  await evaluate(`window.overs = []; document.addEventListener("mouseover",
    e => window.overs.push({tag: e.target.tagName, title: e.target.title || ""}))`);
  found.hovers = [];
  for (const section of found.sections) {
    const entry = section.entries[0];
    const target = await evaluate(`(() => {
      ${kMiddle}
      const article = document.getElementById(${JSON.stringify(entry)});
      const img = png(article);
      img.scrollIntoView({block: "center"});
      const area = article.querySelector("map area");
      const box = img.getBoundingClientRect(), [x, y] = middle(area);
      window.overs = [];
      return {x: box.left + x, y: box.top + y, want: area.title};
    })()`);
    await page("Input.dispatchMouseEvent", {type: "mouseMoved", x: 1, y: 1});
    await page("Input.dispatchMouseEvent", {type: "mouseMoved", x: target.x, y: target.y});
    await sleep(50);
    const overs = await evaluate("window.overs");
    const last = overs[overs.length - 1] || {tag: "", title: ""};
    found.hovers.push({entry, want: target.want, tag: last.tag, title: last.title});
  }
  await evaluate(`document.getElementById("overlays").scrollIntoView()`);
  await sleep(100);
  await browser.screenshot(page, shots + "-overlays.png");
  process.stdout.write(JSON.stringify({images, ...found}) + "\n");
  await browser.send("Browser.close").catch(() => {});
  browser.finish(images.loaded > 0 ? 0 : 1);
}
main().catch(e => browser.finish(1, String(e.stack || e)));
