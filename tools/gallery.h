// The sample gallery of `plotvane demo`: charts defined by automation scripts
// kept in tools/gallery/ and compiled into the command, drawn in every image
// format, and a page that shows them with their image maps.
#ifndef PLOTVANE_TOOLS_GALLERY_H_
#define PLOTVANE_TOOLS_GALLERY_H_

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "client/client.h"

namespace plotvane {

// One gallery script. Its name is "KIND-TOPIC", KIND being the chart kind
// the script sets up: "pie", "bar", "line" or "stackedbar".
struct GalleryScript {
  const char* name;
  std::string_view text;
};

// The scripts of tools/gallery/, by name. Generated at build time.
const std::vector<GalleryScript>& GalleryScripts();

// The chart kind a gallery script's name starts with, as the output members
// spell it ("Pie", "Bar", "Line", "StackedBar"), or "" for none.
std::string GalleryKindOf(const std::string& name);

// Plays every gallery script on a new Draw object of `server`, reads its
// chart in every format into `folder` (created when missing) as NAME.png,
// NAME.gif, NAME.jpg, NAME.bmp and NAME.svg, and writes folder/index.html
// showing the charts in sections by kind (the bar charts with a trend line or
// lines over their bars in one of their own), each picture with its image
// map, the SVG document in the page beside the PNG, and the script that made
// them. Problems are reported on `log`; the gallery is
// written all the same with what could be drawn. Returns true when every
// picture was written.
bool WriteGallery(const ServerLibrary& server, const std::string& folder, std::ostream& log);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_GALLERY_H_
