#include "tools/gallery.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <tuple>

#include "base/utf.h"
#include "client/graph_kinds.h"
#include "runtime/bstr.h"
#include "tools/script.h"

namespace plotvane {

std::string GalleryKindOf(const std::string& name) {
  for (const GraphKind& k : kGraphKinds) {
    if (name.rfind(std::string(k.gallery) + "-", 0) == 0) return k.member;
  }
  return "";
}

namespace {

struct Format {
  const char* member_prefix;  // GIF, PNG, JPG, BMP as the output members spell them
  const char* extension;
  const char* label;
};

constexpr Format kFormats[] = {
    {"PNG", "png", "PNG"}, {"GIF", "gif", "GIF"}, {"JPG", "jpg", "JPEG"}, {"BMP", "bmp", "BMP"}};

// The sections of the page, in their order: one per chart kind, and one for
// the bar charts with a trend line or lines over their bars.
struct Group {
  const char* id;
  const char* heading;
};

constexpr Group kGroups[] = {
    {"pie", "Pie charts"},
    {"bars", "Vertical bar charts"},
    {"horizontal-bars", "Horizontal bar charts"},
    {"line", "Line graphs"},
    {"stacked", "Vertical stacked bar charts"},
    {"horizontal-stacked", "Horizontal stacked bar charts"},
    {"overlays", "Trend lines and lines over bars"},
};

// What one script gave for the page.
struct Entry {
  std::string name;
  std::string kind;                     // the output members' suffix: Pie, Bar, ...
  size_t group = 0;                     // index into kGroups
  bool vertical = true;                 // bars upright (VerticalBars)
  std::string_view script;              // the script's text
  std::vector<const Format*> pictures;  // the formats written
  std::string svg;                      // the SVG document, "" when none was written
  std::string map;                      // the image map, renamed to `name`
};

// The value of a Boolean property of `draw`, false when it cannot be read.
bool BoolProperty(IDispatch* draw, const char* name) {
  ScriptStep get;
  get.name = name;
  const StepOutcome outcome = RunStep(draw, get, 0, "");
  return SUCCEEDED(outcome.hr) && outcome.value.vt() == VT_BOOL &&
         outcome.value->boolVal != VARIANT_FALSE;
}

// The section of a chart of `kind` that `draw` was set up for.
size_t GroupOf(IDispatch* draw, const std::string& kind) {
  if (kind == kPieGraph.member) return 0;
  if (kind == kLineGraph.member) return 3;
  const bool stacked = kind == kStackedBarGraph.member;
  const bool overlays = BoolProperty(draw, "ShowLinesWithBars") ||
                        (!stacked && BoolProperty(draw, "ShowTrendLine"));
  if (overlays) return 6;
  const bool vertical = BoolProperty(draw, "VerticalBars");
  return (stacked ? 4 : 1) + (vertical ? 0 : 1);
}

// `text` with the characters that HTML gives a meaning written as references.
std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

// The name and id of an entry's map on the page: not the entry's own name,
// which is its article's id.
std::string MapNameOf(const std::string& entry) { return entry + "-map"; }

// The map text with its name and id replaced by `name`, so that the maps of
// all charts can share one page.
std::string RenamedMap(const std::string& map, const std::string& name) {
  const size_t open_end = map.find('>');
  if (map.rfind("<map", 0) != 0 || open_end == std::string::npos) return "";
  return "<map name=\"" + name + "\" id=\"" + name + "\">" + map.substr(open_end + 1);
}

void Report(std::ostream& log, const std::string& name, const StepOutcome& outcome) {
  log << "plotvane demo: " << name << ": step " << outcome.step << " failed: "
      << outcome.description << "\n";
}

bool DrawEntry(const ServerLibrary& server, const GalleryScript& gallery, const std::string& folder,
               std::ostream& log, Entry* entry) {
  entry->name = gallery.name;
  entry->script = gallery.text;
  const std::string kind = GalleryKindOf(entry->name);
  entry->kind = kind;
  if (kind.empty()) {
    log << "plotvane demo: " << entry->name << ": the name does not start with a chart kind\n";
    return false;
  }
  Script script;
  try {
    script = ParseScript(gallery.text);
  } catch (const ScriptError& e) {
    log << "plotvane demo: " << entry->name << ": " << e.what() << "\n";
    return false;
  }
  ComPtr<IDispatch> draw;
  if (FAILED(server.CreateDraw(&draw))) {
    log << "plotvane demo: cannot create a Draw object\n";
    return false;
  }
  for (size_t i = 0; i < script.steps.size(); ++i) {
    const StepOutcome outcome = RunStep(draw.Get(), script.steps[i], i, folder);
    if (FAILED(outcome.hr)) {
      Report(log, entry->name, outcome);
      return false;
    }
  }
  entry->group = GroupOf(draw.Get(), kind);
  entry->vertical = BoolProperty(draw.Get(), "VerticalBars");
  bool ok = true;
  for (const Format& format : kFormats) {
    ScriptStep get;
    get.name = std::string(format.member_prefix) + kind;
    get.save = entry->name + "." + format.extension;
    const StepOutcome outcome = RunStep(draw.Get(), get, script.steps.size(), folder);
    if (FAILED(outcome.hr)) {
      Report(log, entry->name, outcome);
      ok = false;
      continue;
    }
    entry->pictures.push_back(&format);
  }
  ScriptStep svg;
  svg.name = "SVG" + kind;
  svg.save = entry->name + ".svg";
  const StepOutcome drawn = RunStep(draw.Get(), svg, script.steps.size(), folder);
  if (FAILED(drawn.hr)) {
    Report(log, entry->name, drawn);
    ok = false;
  } else {
    std::ifstream file(folder + "/" + svg.save, std::ios::binary);
    entry->svg.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  ScriptStep map;
  map.name = "ImageMapText";
  const StepOutcome outcome = RunStep(draw.Get(), map, script.steps.size(), folder);
  if (SUCCEEDED(outcome.hr) && outcome.value.vt() == VT_BSTR) {
    BSTR text = outcome.value->bstrVal;
    entry->map = RenamedMap(Utf16ToUtf8(std::u16string_view(text, SysStringLen(text))),
                             MapNameOf(entry->name));
  }
  return ok;
}

std::string Figure(const Entry& entry, const Format& format) {
  std::string html = "<figure><img src=\"" + entry.name + "." + format.extension + "\" alt=\"" +
                     entry.name + " as " + format.label + "\"";
  if (!entry.map.empty()) html += " usemap=\"#" + MapNameOf(entry.name) + "\"";
  return html + "><figcaption>" + format.label + "</figcaption></figure>\n";
}

// One chart: its PNG picture and its SVG document (in the page, so that its
// links work) beside the script that made them, then its other formats, then
// its image map.
std::string Article(const Entry& entry) {
  std::string html = "<article id=\"" + entry.name + "\">\n<h3>" + entry.name + "</h3>\n";
  html += "<div class=\"row\">\n";
  if (!entry.pictures.empty()) html += Figure(entry, *entry.pictures.front());
  if (!entry.svg.empty()) {
    html += "<figure class=\"svg\">" + entry.svg + "<figcaption><a href=\"" + entry.name +
            ".svg\">SVG</a>, its map inside</figcaption></figure>\n";
  }
  std::string members;
  for (const Format& format : kFormats) {
    members += std::string(members.empty() ? "" : ", ") + "<code>" + format.member_prefix +
               entry.kind + "</code>";
  }
  members += ", <code>SVG" + entry.kind + "</code>";
  html += "<details open><summary><code>" + entry.name +
          ".json</code>, played on a new <code>Draw</code> object, then " + members +
          " and <code>ImageMapText</code> read</summary>\n<pre>" + Escaped(entry.script) +
          "</pre></details>\n</div>\n<div class=\"row\">\n";
  for (size_t i = 1; i < entry.pictures.size(); ++i) html += Figure(entry, *entry.pictures[i]);
  return html + "</div>\n" + entry.map + "\n</article>\n";
}

std::string Page(const std::vector<Entry>& entries) {
  std::string html =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Plotvane gallery</title>\n<style>\n"
      "body { font-family: sans-serif; margin: 2em; }\n"
      ".row { display: flex; flex-wrap: wrap; align-items: flex-start; gap: 1em; }\n"
      "figure { margin: 0 0 1em 0; }\n"
      "figcaption { text-align: center; color: #555; }\n"
      "details { flex: 1; min-width: 24em; }\n"
      "summary { color: #555; cursor: pointer; }\n"
      "pre { background: #f6f6f6; border: 1px solid #ddd; padding: 0.5em; margin: 0.5em 0;\n"
      "      max-height: 22em; overflow: auto; font-size: 0.85em; }\n"
      "article { border-top: 1px solid #ddd; padding-top: 0.5em; }\n"
      "</style>\n</head>\n<body>\n<h1>Plotvane gallery</h1>\n"
      "<p>Every chart in every format, each with the automation script that made it: copy one, "
      "add a step such as <code>{\"get\": \"PNGBar\", \"save\": \"chart.png\"}</code> and play "
      "it with <code>plotvane run</code>. Hover over a slice, bar, segment, point or legend "
      "entry to see its title from the image map; the SVG beside each PNG carries the same "
      "map inside it, and its links and titles scale with it.</p>\n<nav><ul>\n";
  for (size_t g = 0; g < std::size(kGroups); ++g) {
    size_t count = 0;
    for (const Entry& entry : entries) count += entry.group == g;
    if (count == 0) continue;
    html += "<li><a href=\"#" + std::string(kGroups[g].id) + "\">" + kGroups[g].heading +
            "</a> (" + std::to_string(count) + ")</li>\n";
  }
  html += "</ul></nav>\n";
  for (size_t g = 0; g < std::size(kGroups); ++g) {
    std::string articles;
    for (const Entry& entry : entries) {
      if (entry.group == g) articles += Article(entry);
    }
    if (articles.empty()) continue;
    html += "<section id=\"" + std::string(kGroups[g].id) + "\">\n<h2>" + kGroups[g].heading +
            "</h2>\n" + articles + "</section>\n";
  }
  return html + "</body>\n</html>\n";
}

}  // namespace

bool WriteGallery(const ServerLibrary& server, const std::string& folder, std::ostream& log) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    log << "plotvane demo: cannot create " << folder << ": " << error.message() << "\n";
    return false;
  }
  bool ok = true;
  std::vector<Entry> entries;
  for (const GalleryScript& script : GalleryScripts()) {
    Entry entry;
    ok = DrawEntry(server, script, folder, log, &entry) && ok;
    if (!entry.pictures.empty()) entries.push_back(std::move(entry));
  }
  // Within a section: plain bars before stacked ones, upright before
  // horizontal, each kind's default chart first, then by name.
  auto order = [](const Entry& e) {
    const bool plain_default = e.name.size() > 8 && e.name.rfind("-default") == e.name.size() - 8;
    return std::make_tuple(e.group, e.kind == kStackedBarGraph.member, !e.vertical,
                           !plain_default, e.name);
  };
  std::stable_sort(entries.begin(), entries.end(),
                   [&](const Entry& a, const Entry& b) { return order(a) < order(b); });
  const std::string index = folder + "/index.html";
  std::ofstream page(index, std::ios::binary);
  page << Page(entries);
  page.close();
  if (!page) {
    log << "plotvane demo: cannot write " << index << "\n";
    return false;
  }
  return ok;
}

}  // namespace plotvane
