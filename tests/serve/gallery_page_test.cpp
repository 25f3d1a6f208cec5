// The page of `plotvane demo` in headless Chromium, opened from file://:
// every picture loads, the charts stand in their sections by chart kind, each
// shows the script that made it character for character, and the image maps
// work on the page: the middle of a chart's first and last area is that area,
// and a mouse over a chart meets the area's title; on the SVG picture in the
// page every area is a link with its title. The screenshots are left
// in the build folder as tests/gallery.png and tests/gallery-overlays.png, to
// be looked at.
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/serve/serve_support.h"
#include "tools/gallery.h"

namespace plotvane::serve_test {
namespace {

using Json = nlohmann::json;

TEST(GalleryPageTest, ShowsEveryChartByKindWithItsScriptAndWorkingMap) {
  ASSERT_TRUE(fs::exists("/usr/bin/chromium")) << "tools/install-deps.sh installs chromium";
  const fs::path folder = NewFolder("gallery-page");
  pid_t pid = Spawn({PLOTVANE_COMMAND, "demo", "--out", (folder / "gallery").string()}, folder,
                    folder / "err");
  ASSERT_EQ(WaitFor(pid, std::chrono::seconds(120)), 0) << ReadFile(folder / "err");
  const fs::path shots = fs::current_path() / "gallery";
  pid = Spawn({"/usr/bin/env", "node",
               std::string(PLOTVANE_SOURCE_DIR) + "/tests/serve/gallery_check.js",
               (folder / "gallery" / "index.html").string(), shots.string()},
              folder, folder / "err", folder / "out");
  ASSERT_EQ(WaitFor(pid, std::chrono::seconds(90)), 0) << ReadFile(folder / "err");
  const Json found = Json::parse(ReadFile(folder / "out"));
  fs::remove_all(folder);

  EXPECT_EQ(found["title"], "Plotvane gallery");
  const size_t scripts = GalleryScripts().size();
  EXPECT_EQ(found["images"]["total"], 4 * scripts);
  EXPECT_EQ(found["images"]["loaded"], 4 * scripts);

  // The sections in their order, every chart in exactly one, and a few
  // charts in the section of their kind.
  const std::vector<std::string> headings = {
      "Pie charts", "Vertical bar charts", "Horizontal bar charts", "Line graphs",
      "Vertical stacked bar charts", "Horizontal stacked bar charts",
      "Trend lines and lines over bars"};
  std::map<std::string, std::string> section_of;
  std::vector<std::string> seen;
  for (const Json& section : found["sections"]) {
    seen.push_back(section["heading"]);
    for (const Json& entry : section["entries"]) section_of[entry] = section["heading"];
  }
  EXPECT_EQ(seen, headings);
  EXPECT_EQ(section_of.size(), scripts);
  for (const auto& [name, heading] : std::map<std::string, std::string>{
           {"pie-default", headings[0]},
           {"bar-default", headings[1]},
           {"bar-horizontal", headings[2]},
           {"line-default", headings[3]},
           {"stackedbar-default", headings[4]},
           {"stackedbar-horizontal", headings[5]},
           {"bar-trend-line", headings[6]},
           {"bar-horizontal-trend-line", headings[6]},
           {"stackedbar-lines-diamonds", headings[6]},
           {"stackedbar-horizontal-lines-triangles-up", headings[6]}}) {
    EXPECT_EQ(section_of[name], heading) << name;
  }

  // Each chart's script, as the page shows it, is the script itself.
  for (const GalleryScript& script : GalleryScripts()) {
    ASSERT_TRUE(found["scripts"].contains(script.name)) << script.name;
    EXPECT_EQ(found["scripts"][script.name].get<std::string>(), script.text) << script.name;
  }

  // The middle of an area is that area, in its chart's map.
  EXPECT_EQ(found["hits"].size(), 2 * scripts);
  for (const Json& hit : found["hits"]) {
    EXPECT_EQ(hit["tag"], "AREA") << hit.dump();
    EXPECT_EQ(hit["map"], hit["entry"].get<std::string>() + "-map") << hit.dump();
    EXPECT_EQ(hit["title"], hit["want"]) << hit.dump();
  }
  EXPECT_EQ(found["hovers"].size(), headings.size());
  for (const Json& hover : found["hovers"]) {
    EXPECT_EQ(hover["tag"], "AREA") << hover.dump();
    EXPECT_EQ(hover["title"], hover["want"]) << hover.dump();
  }
  // The SVG beside each PNG links every area the HTML map reaches, the same
  // area where the map's areas overlap, at 1x and at 2x.
  const Json& links = found["svgLinks"];
  EXPECT_GE(links["checked"].get<int>(), 2 * 10 * static_cast<int>(scripts)) << links.dump();
  EXPECT_EQ(links["wrong"].size(), 0u) << links["wrong"].dump();
  EXPECT_TRUE(fs::exists(shots.string() + ".png"));
  EXPECT_TRUE(fs::exists(shots.string() + "-overlays.png"));
}

}  // namespace
}  // namespace plotvane::serve_test
