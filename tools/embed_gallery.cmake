# Writes OUTPUT, a C++ source that defines plotvane::GalleryScripts() with the
# bytes of every file in SCRIPTS (a ;-list), named by file name without
# ".json", in name order. Run with cmake -P at build time.
list(SORT SCRIPTS)
set(body "")
set(table "")
set(index 0)
foreach(script IN LISTS SCRIPTS)
  get_filename_component(name "${script}" NAME_WE)
  file(READ "${script}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const unsigned char kScript${index}[] = {${bytes}0};\n")
  string(APPEND table "      {\"${name}\", std::string_view(reinterpret_cast<const char*>(kScript${index}), ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from tools/gallery/*.json by tools/embed_gallery.cmake at build
// time; edit the scripts there, not this file.
#include \"tools/gallery.h\"

namespace plotvane {
namespace {

${body}
}  // namespace

const std::vector<GalleryScript>& GalleryScripts() {
  static const std::vector<GalleryScript> scripts = {
${table}  };
  return scripts;
}

}  // namespace plotvane
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
