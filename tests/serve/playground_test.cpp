// The playground page in headless Chromium: it loads, lists the members,
// Draw shows the picture, the map's areas are in the page with their titles,
// and hovering one shows its title. The screenshot is left in the build folder as
// tests/playground.png, to be looked at.
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/serve/serve_support.h"

namespace plotvane::serve_test {
namespace {

using Json = nlohmann::json;

TEST(PlaygroundTest, DrawShowsThePictureWithItsMap) {
  ASSERT_TRUE(fs::exists("/usr/bin/chromium")) << "tools/install-deps.sh installs chromium";
  ServiceProcess service({"--workers", "2"});
  ASSERT_TRUE(service.ok());
  const fs::path folder = NewFolder("playground");
  const fs::path screenshot = fs::current_path() / "playground.png";
  const std::string url = "http://127.0.0.1:" + std::to_string(service.port()) + "/";
  const pid_t pid = Spawn({"/usr/bin/env", "node",
                           std::string(PLOTVANE_SOURCE_DIR) + "/tests/serve/playground_check.js",
                           url, screenshot.string()},
                          folder, folder / "err", folder / "out");
  ASSERT_EQ(WaitFor(pid, std::chrono::seconds(60)), 0) << ReadFile(folder / "err");
  const Json found = Json::parse(ReadFile(folder / "out"));
  fs::remove_all(folder);
  EXPECT_EQ(found["page"], "Plotvane playground");
  // The member reference lists every member with its meaning and default.
  EXPECT_EQ(found["members"], 204);
  EXPECT_NE(found["title"].get<std::string>().find("Title: BSTR, read-write Title of the chart"),
            std::string::npos)
      << found["title"];
  EXPECT_GT(found["width"].get<int>(), 0);
  EXPECT_EQ(found["usemap"].get<std::string>().rfind("#", 0), 0u);
  // The default example is the gallery's pie with three titled map entries.
  std::vector<std::string> titles;
  for (const Json& area : found["areas"]) titles.push_back(area["title"]);
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Apples: 12"), titles.end()) << found.dump();
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Plums: 5"), titles.end());
  EXPECT_NE(found.value("hovered", ""), "");
  EXPECT_GT(found["document"].get<int>(), 0);
  EXPECT_TRUE(fs::exists(screenshot));
  EXPECT_EQ(service.Stop(), 0) << service.log();
}

}  // namespace
}  // namespace plotvane::serve_test
