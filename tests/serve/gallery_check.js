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
  // Every area of every map, on the SVG in the page: at a point the HTML map
  // gives to that area, the SVG's element is a link with the area's href and
  // title, at 1x and with the picture drawn twice as large.
  found.svgLinks = await evaluate(`(() => {
    ${kMiddle}
    const hitSvg = (svg, x, y, scale) => {
      svg.scrollIntoView({block: "center"});
      const box = svg.getBoundingClientRect();
      const e = document.elementFromPoint(box.left + x * scale, box.top + y * scale);
      return e ? e.closest("a") : null;
    };
    // Points of the area's box, its middle first, where the HTML map gives
    // the pointer to the area itself.
    const pointOf = (img, area) => {
      const c = area.coords.split(",").map(Number);
      const xs = area.shape === "circle" ? [c[0] - c[2], c[0] + c[2]] : c.filter((_, i) => i % 2 === 0);
      const ys = area.shape === "circle" ? [c[1] - c[2], c[1] + c[2]] : c.filter((_, i) => i % 2 === 1);
      const candidates = [middle(area)];
      const x0 = Math.min(...xs), x1 = Math.max(...xs), y0 = Math.min(...ys), y1 = Math.max(...ys);
      const step = Math.max(1, Math.ceil(Math.max(x1 - x0, y1 - y0) / 16));
      for (let y = y0; y <= y1; y += step) for (let x = x0; x <= x1; x += step) candidates.push([x + 0.5, y + 0.5]);
      img.scrollIntoView({block: "center"});
      const box = img.getBoundingClientRect();
      return candidates.find(([x, y]) => document.elementFromPoint(box.left + x, box.top + y) === area);
    };
    const result = {checked: 0, unreachable: 0, wrong: []};
    for (const article of document.querySelectorAll("article")) {
      const img = png(article), svg = article.querySelector("figure.svg svg");
      if (!svg) { result.wrong.push({entry: article.id, why: "no SVG"}); continue; }
      const natural = Number(svg.getAttribute("width"));
      for (const scale of [1, 2]) {
        svg.style.width = (natural * scale) + "px";
        svg.style.height = "auto";
        for (const area of article.querySelectorAll("map area")) {
          const point = pointOf(img, area);
          if (!point) { result.unreachable += scale === 1 ? 1 : 0; continue; }
          const link = hitSvg(svg, point[0], point[1], scale);
          const title = link && link.querySelector("title") ? link.querySelector("title").textContent : null;
          const href = link ? link.getAttribute("href") : null;
          ++result.checked;
          if (!link || title !== area.title || href !== area.getAttribute("href")) {
            result.wrong.push({entry: article.id, scale, point, want: area.title, title, href,
                               wantHref: area.getAttribute("href")});
          }
        }
      }
      svg.style.width = "";
      svg.style.height = "";
    }
    window.scrollTo(0, 0);
    return result;
  })()`);
  await evaluate(`document.getElementById("overlays").scrollIntoView()`);
  await sleep(100);
  await browser.screenshot(page, shots + "-overlays.png");
  process.stdout.write(JSON.stringify({images, ...found}) + "\n");
  await browser.send("Browser.close").catch(() => {});
  browser.finish(images.loaded > 0 ? 0 : 1);
}
main().catch(e => browser.finish(1, String(e.stack || e)));
