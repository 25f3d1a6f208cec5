// Compares SVG pictures with the PNG pictures of the same drawings in headless
// Chromium (devtools.js). For every NAME.svg beside a NAME.png in FOLDER, the
// SVG is drawn at 1x and compared pixel by pixel with the PNG. A pixel may
// differ only
//   - inside a text cell (the box of a text element, widened by 2 pixels),
//     where the viewer's own glyphs stand for the raster's,
//   - on an edge off the pixel grid (a curve or a slant), which the viewer
//     smooths or steps its own way: within 1.5 pixels of the outline of such
//     an element, and there within one pixel of an edge of the PNG's shapes
//     or by at most 24 in each channel (a faint trace where the smoothed
//     pieces of a wide pen meet), or
//   - by at most 2 in each channel, the viewer's rounding where smoothed
//     pieces of one shape meet.
// Edges on the pixel grid (boxes, level and upright lines) must match
// exactly. With CONTROL, every picture is compared once more with its largest
// coloured rectangle moved right by one pixel, which must fail.
// Prints one JSON line: for each picture the differing pixels found, those
// not allowed and the first few of them, and with CONTROL the same for the
// moved picture. SHOTS, when given, is a folder where a page of the first
// pictures at 2x is photographed (sharp.png).
//
//   node svg_check.js FOLDER [CONTROL] [SHOTS] [CHROMIUM]
//
// Exit status 0 when every picture was compared, 1 otherwise.
"use strict";
const fs = require("fs");
const path = require("path");
const {launch} = require("./devtools");

const [folder, control = "", shots = "", chromium = "/usr/bin/chromium"] =
    process.argv.slice(2);
const browser = launch(chromium, 240000);

// In the page: compare(svgText, pngDataUrl) gives the differences.
const kCompare = `
const loadImage = src => new Promise((resolve, reject) => {
  const img = new Image();
  img.onload = () => resolve(img);
  img.onerror = () => reject(new Error("cannot load " + src.slice(0, 60)));
  img.src = src;
});
const pixels = async (src, w, h, background = "#fff") => {
  const img = await loadImage(src);
  const canvas = document.createElement("canvas");
  canvas.width = w;
  canvas.height = h;
  const g = canvas.getContext("2d", {willReadFrequently: true});
  g.fillStyle = background;
  g.fillRect(0, 0, w, h);
  g.drawImage(img, 0, 0, w, h);
  return g.getImageData(0, 0, w, h).data;
};
const svgUrl = text => URL.createObjectURL(new Blob([text], {type: "image/svg+xml"}));
// Whether an element's edges lie on the pixel grid: a box, or a polygon or
// path of level and upright segments only.
const onGrid = e => {
  if (e.tagName === "rect") return true;
  if (e.tagName === "ellipse" || e.tagName === "circle") return false;
  const text = e.getAttribute(e.tagName === "path" ? "d" : "points") || "";
  if (/[Aa]/.test(text)) return false;
  const figures = text.split(/[Zz]/).map(f => (f.match(/-?[0-9.]+/g) || []).map(Number));
  return figures.every(n => {
    for (let i = 0; i + 3 < n.length + 2; i += 2) {
      const j = (i + 2) % n.length;
      if (n[i] !== n[j] && n[i + 1] !== n[j + 1]) return false;
    }
    return true;
  });
};
// The outlines of the elements off the grid (curves and slants), 3 pixels
// wider than their pen, white on black.
const smoothZone = doc => {
  const copy = doc.cloneNode(true);
  for (const e of copy.querySelectorAll("text, title, a, mask")) e.remove();
  for (const e of copy.querySelectorAll("rect, path, polygon, ellipse, circle")) {
    if (onGrid(e)) { e.remove(); continue; }
    const width = Number(e.getAttribute("stroke-width") || 1);
    e.setAttribute("fill", "none");
    e.setAttribute("stroke", "#fff");
    e.setAttribute("stroke-width", String(width + 2));
    e.removeAttribute("stroke-dasharray");
    e.setAttribute("shape-rendering", "auto");
  }
  for (const g of copy.querySelectorAll("g")) g.removeAttribute("mask");
  return new XMLSerializer().serializeToString(copy);
};
async function compare(svgText, pngUrl) {
  const host = document.createElement("div");
  host.innerHTML = svgText;
  document.body.appendChild(host);
  const svg = host.querySelector("svg");
  const w = Number(svg.getAttribute("width")), h = Number(svg.getAttribute("height"));
  const origin = svg.getBoundingClientRect();
  const cells = [...svg.querySelectorAll("text")].map(t => {
    const b = t.getBoundingClientRect();
    return [b.left - origin.left - 2, b.top - origin.top - 2,
            b.right - origin.left + 2, b.bottom - origin.top + 2];
  });
  const zone = await pixels(svgUrl(smoothZone(svg)), w, h, "#000");
  host.remove();
  const a = await pixels(pngUrl, w, h), b = await pixels(svgUrl(svgText), w, h);
  const at = (d, x, y) => (y * w + x) * 4;
  const same = (p, q) => Math.abs(a[p] - a[q]) + Math.abs(a[p + 1] - a[q + 1]) +
                         Math.abs(a[p + 2] - a[q + 2]) === 0;
  const pngEdge = (x, y) => {
    const p = at(a, x, y);
    for (let dy = -1; dy <= 1; ++dy) for (let dx = -1; dx <= 1; ++dx) {
      const nx = x + dx, ny = y + dy;
      if (nx >= 0 && ny >= 0 && nx < w && ny < h && !same(p, at(a, nx, ny))) return true;
    }
    return false;
  };
  let differing = 0, refused = 0;
  const first = [];
  for (let y = 0; y < h; ++y) for (let x = 0; x < w; ++x) {
    const p = at(a, x, y);
    const d = Math.max(Math.abs(a[p] - b[p]), Math.abs(a[p + 1] - b[p + 1]),
                       Math.abs(a[p + 2] - b[p + 2]));
    if (d === 0) continue;
    ++differing;
    // A unit or two is the viewer's rounding where smoothed pieces meet.
    if (d <= 2) continue;
    const inText = cells.some(c => x >= c[0] && x < c[2] && y >= c[1] && y < c[3]);
    const smoothed = zone[p] > 0 && (pngEdge(x, y) || d <= 24);
    if (inText || smoothed) continue;
    ++refused;
    if (first.length < 8) first.push({x, y, png: [a[p], a[p + 1], a[p + 2]],
                                      svg: [b[p], b[p + 1], b[p + 2]]});
  }
  return {width: w, height: h, differing, refused, first};
}
// The same picture with its largest coloured rectangle (not the background)
// moved right by a pixel.
function moved(svgText) {
  const doc = new DOMParser().parseFromString(svgText, "image/svg+xml");
  const area = r => Number(r.getAttribute("width")) * Number(r.getAttribute("height"));
  const rects = [...doc.querySelectorAll("g > rect")].slice(1).filter(r =>
      !["none", "#FFF", "#FFFFFF"].includes(r.getAttribute("fill")) && area(r) > 4);
  rects.sort((p, q) => area(q) - area(p));
  if (rects.length === 0) return "";
  const r = rects[0];
  r.setAttribute("x", String(Number(r.getAttribute("x")) + 1));
  return new XMLSerializer().serializeToString(doc);
}`;

async function main() {
  const {page, evaluate} = await browser.openPage();
  await evaluate(kCompare + "; window.compare = compare; window.moved = moved; true");
  const names = fs.readdirSync(folder).filter(f => f.endsWith(".svg")).map(f => f.slice(0, -4))
      .filter(n => fs.existsSync(path.join(folder, n + ".png"))).sort();
  const results = {};
  for (const name of names) {
    const svg = fs.readFileSync(path.join(folder, name + ".svg"), "utf8");
    const png = "data:image/png;base64," +
                fs.readFileSync(path.join(folder, name + ".png")).toString("base64");
    const result = await evaluate(`compare(${JSON.stringify(svg)}, ${JSON.stringify(png)})`);
    if (control) {
      result.control = await evaluate(
          `(async () => { const m = moved(${JSON.stringify(svg)});
             return m ? compare(m, ${JSON.stringify(png)}) : null; })()`);
    }
    results[name] = result;
  }
  if (shots) {
    const few = names.slice(0, 4);
    const html = few.map(n => `<img src="${path.resolve(folder, n + ".svg")}" width="800">`)
        .join("<br>");
    const file = path.join(shots, "sharp.html");
    fs.writeFileSync(file, `<!DOCTYPE html><body style="margin:0">${html}</body>`);
    await page("Emulation.setDeviceMetricsOverride",
               {width: 820, height: 1300, deviceScaleFactor: 2, mobile: false});
    await browser.load(page, "file://" + path.resolve(file));
    await browser.screenshot(page, path.join(shots, "sharp.png"));
  }
  process.stdout.write(JSON.stringify(results) + "\n");
  await browser.send("Browser.close").catch(() => {});
  browser.finish(names.length > 0 ? 0 : 1);
}
main().catch(e => browser.finish(1, String(e.stack || e)));
