// The SVG pictures of `plotvane demo` against their PNG pictures, drawn by
// headless Chromium at 1x (svg_check.js): each differs from its PNG only
// where the viewer's glyphs or smoothing stand for the raster's, and the
// same picture with one box moved by a pixel does not pass. A page of a few
// pictures at 2x is photographed as tests/svg-sharp.png, to be looked at.
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/serve/serve_support.h"
#include "tools/gallery.h"

namespace plotvane::serve_test {
namespace {

using Json = nlohmann::json;

TEST(SvgFidelityTest, EveryGalleryChartMatchesItsPng) {
  ASSERT_TRUE(fs::exists("/usr/bin/chromium")) << "tools/install-deps.sh installs chromium";
  const fs::path folder = NewFolder("svg-fidelity");
  pid_t pid = Spawn({PLOTVANE_COMMAND, "demo", "--out", (folder / "gallery").string()}, folder,
                    folder / "err");
  ASSERT_EQ(WaitFor(pid, std::chrono::seconds(120)), 0) << ReadFile(folder / "err");
  const fs::path shots = folder / "shots";
  fs::create_directories(shots);
  pid = Spawn({"/usr/bin/env", "node", std::string(PLOTVANE_SOURCE_DIR) + "/tests/serve/svg_check.js",
               (folder / "gallery").string(), "control", shots.string()},
              folder, folder / "err", folder / "out");
  ASSERT_EQ(WaitFor(pid, std::chrono::seconds(240)), 0) << ReadFile(folder / "err");
  const Json found = Json::parse(ReadFile(folder / "out"));
  fs::copy_file(shots / "sharp.png", fs::current_path() / "svg-sharp.png",
                fs::copy_options::overwrite_existing);
  fs::remove_all(folder);

  EXPECT_EQ(found.size(), GalleryScripts().size());
  for (const auto& [name, result] : found.items()) {
    EXPECT_EQ(result["refused"], 0) << name << ": " << result["first"].dump();
    EXPECT_GT(result["control"]["refused"].get<int>(), 0) << name << ": the moved box passed";
  }
}

}  // namespace
}  // namespace plotvane::serve_test
