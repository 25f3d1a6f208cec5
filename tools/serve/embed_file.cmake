# Writes OUTPUT, a C++ source that defines `const std::string_view NAME` in
# namespace plotvane with the bytes of INPUT. Run with cmake -P at build time.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${source} by tools/serve/embed_file.cmake at build time;
// edit that file, not this one.
#include <string_view>

namespace plotvane {
namespace {
const unsigned char kBytes[] = {${bytes}0};
}  // namespace

extern const std::string_view ${NAME};
const std::string_view ${NAME}(reinterpret_cast<const char*>(kBytes), ${size});

}  // namespace plotvane
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
