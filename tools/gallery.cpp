#include "tools/gallery.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "automation/com/bstr.h"
#include "base/utf.h"
#include "tools/script.h"

namespace plotvane {

namespace {

struct Format {
  const char* member_prefix;  // GIF, PNG, JPG, BMP as the output members spell them
  const char* extension;
  const char* label;
};

constexpr Format kFormats[] = {
    {"PNG", "png", "PNG"}, {"GIF", "gif", "GIF"}, {"JPG", "jpg", "JPEG"}, {"BMP", "bmp", "BMP"}};

// The member-name suffix of a script's chart kind, or "" for an unknown kind.
std::string KindOf(const std::string& name) {
  static const struct {
    const char* prefix;
    const char* kind;
  } kKinds[] = {{"pie-", "Pie"}, {"bar-", "Bar"}, {"line-", "Line"}, {"stackedbar-", "StackedBar"}};
  for (const auto& k : kKinds) {
    if (name.rfind(k.prefix, 0) == 0) return k.kind;
  }
  return "";
}

// What one script gave for the page.
struct Entry {
  std::string name;
  std::vector<const Format*> pictures;  // the formats written
  std::string map;                      // the image map, renamed to `name`
};

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
  const std::string kind = KindOf(entry->name);
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
  ScriptStep map;
  map.name = "ImageMapText";
  const StepOutcome outcome = RunStep(draw.Get(), map, script.steps.size(), folder);
  if (SUCCEEDED(outcome.hr) && outcome.value.vt() == VT_BSTR) {
    BSTR text = outcome.value->bstrVal;
    entry->map = RenamedMap(Utf16ToUtf8(std::u16string_view(text, SysStringLen(text))), entry->name);
  }
  return ok;
}

std::string Page(const std::vector<Entry>& entries) {
  std::string html =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Plotvane gallery</title>\n<style>\n"
      "body { font-family: sans-serif; margin: 2em; }\n"
      "figure { display: inline-block; margin: 0 1em 1em 0; }\n"
      "figcaption { text-align: center; color: #555; }\n"
      "</style>\n</head>\n<body>\n<h1>Plotvane gallery</h1>\n"
      "<p>Every chart in every format. Hover over a slice to see its title.</p>\n";
  for (const Entry& entry : entries) {
    html += "<section>\n<h2>" + entry.name + "</h2>\n";
    for (const Format* format : entry.pictures) {
      html += "<figure><img src=\"" + entry.name + "." + format->extension + "\" alt=\"" +
              entry.name + " as " + format->label + "\"";
      if (!entry.map.empty()) html += " usemap=\"#" + entry.name + "\"";
      html += "><figcaption>" + std::string(format->label) + "</figcaption></figure>\n";
    }
    html += entry.map + "\n</section>\n";
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
