// The playground page in headless Chromium: it loads, Draw shows the
// picture, the map's areas are in the page with their titles, and hovering
// one shows its title; a script's hostile titles, links and extras add no
// markup, handler or script to the page. The member reference lists every
// member with its meaning and default. The screenshots are left in the
// build folder as tests/playground*.png, to be looked at.
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/serve/serve_support.h"

namespace plotvane::serve_test {
namespace {

using Json = nlohmann::json;

class PlaygroundTest : public ::testing::Test {
 protected:
  // What playground_check.js found after drawing `script` ("": the page's
  // default example).
  Json Check(const std::string& name, const std::string& script = "") {
    if (!fs::exists("/usr/bin/chromium")) {
      ADD_FAILURE() << "tools/install-deps.sh installs chromium";
      return Json::object();
    }
    ServiceProcess service({"--workers", "2"});
    if (!service.ok()) return Json::object();
    const fs::path folder = NewFolder("playground");
    std::vector<std::string> argv = {
        "/usr/bin/env", "node", std::string(PLOTVANE_SOURCE_DIR) + "/tests/serve/playground_check.js",
        "http://127.0.0.1:" + std::to_string(service.port()) + "/",
        (fs::current_path() / (name + ".png")).string()};
    if (!script.empty()) {
      std::ofstream(folder / "script.json", std::ios::binary) << script;
      argv.push_back((folder / "script.json").string());
    }
    const pid_t pid = Spawn(argv, folder, folder / "err", folder / "out");
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(60)), 0) << ReadFile(folder / "err");
    const std::string out = ReadFile(folder / "out");
    fs::remove_all(folder);
    EXPECT_EQ(service.Stop(), 0) << service.log();
    return Json::parse(out.empty() ? "{}" : out);
  }

  static std::vector<std::string> Titles(const Json& found) {
    std::vector<std::string> titles;
    for (const Json& area : found.value("areas", Json::array())) titles.push_back(area["title"]);
    return titles;
  }
};

TEST_F(PlaygroundTest, DrawShowsThePictureWithItsMap) {
  const Json found = Check("playground");
  EXPECT_EQ(found.value("page", ""), "Plotvane playground");
  EXPECT_EQ(found.value("members", 0), 212);
  EXPECT_NE(found.value("title", "").find("Title: BSTR, read-write Title of the chart"),
            std::string::npos)
      << found.value("title", "");
  EXPECT_GT(found.value("width", 0), 0);
  EXPECT_EQ(found.value("usemap", "").rfind("#", 0), 0u);
  // The default example is the gallery's pie with three titled map entries.
  const std::vector<std::string> titles = Titles(found);
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Apples: 12"), titles.end()) << found.dump();
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Plums: 5"), titles.end());
  EXPECT_NE(found.value("hovered", ""), "");
  EXPECT_GT(found.value("document", 0), 0);
  // The page's own policy lets it do all it does.
  EXPECT_EQ(found.value("violations", Json::array()), Json::array());
}

// Titles that close their attribute and open elements, an extra that adds a
// handler, a script link: the page shows the areas, with nothing of theirs
// but shape, coordinates, web links and titles as text.
TEST_F(PlaygroundTest, HostileMapEntriesStayText) {
  const Json found = Check("playground-hostile", R"({"steps": [
    {"call": "AddData", "args": ["Apples", 12, "FF0000"]},
    {"call": "AddData", "args": ["Pears", 7, "00A000"]},
    {"call": "AddMapArea", "args": ["javascript:window.pwned='link'",
      "Apples <b id=\"injected\">x</b><img src=x onerror=\"window.pwned='title'\">",
      "onmouseover=\"window.pwned='extra'\""]},
    {"call": "AddMapArea", "args": ["https://example.invalid/pears",
      "Pears: 7\"><script>window.pwned='script'</script><b id=\"injected\" onclick=\"x()\">", ""]}
  ]})");
  EXPECT_EQ(found.value("injected", -1), 0) << found.dump();
  EXPECT_EQ(found.value("handlers", -1), 0);
  EXPECT_EQ(found.value("images", -1), 1);  // the chart
  EXPECT_EQ(found.value("pwned", ""), "undefined");
  // Parsing the map text meets the handlers, and the page's policy refuses
  // them even there; nothing else of the page is refused.
  for (const Json& violation : found.value("violations", Json::array())) {
    EXPECT_EQ(violation.get<std::string>().rfind("script-src-attr ", 0), 0u) << violation;
  }
  const std::vector<std::string> titles = Titles(found);
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Pears: 7"), titles.end()) << found.dump();
  for (const Json& area : found.value("areas", Json::array())) {
    if (!area["href"].is_null()) {
      EXPECT_EQ(area["href"], "https://example.invalid/pears");
    }
  }
  EXPECT_NE(found.value("hovered", ""), "");
}

}  // namespace
}  // namespace plotvane::serve_test
