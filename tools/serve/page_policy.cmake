# Writes OUTPUT, a C++ source that defines `const std::string_view NAME` in
# namespace plotvane: the Content-Security-Policy of the page INPUT. The
# page's own inline code is allowed by its SHA-256 hashes, every <script>
# element without attributes and every <style> element, and nothing else
# may run or load but what the page fetches from its own origin and the
# blob: pictures it shows. Run with cmake -P at build time, so that the
# hashes follow every edit of the page.
cmake_minimum_required(VERSION 3.16)

# The Base64 form of the bytes written as HEX digits.
function(base64_of_hex hex out)
  set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
  string(LENGTH "${hex}" length)
  set(text "")
  set(at 0)
  while(at LESS length)
    string(SUBSTRING "${hex}" ${at} 6 group)  # up to three bytes
    string(LENGTH "${group}" digits)
    string(SUBSTRING "${group}000000" 0 6 padded)
    math(EXPR value "0x${padded}")
    math(EXPR kept "${digits} / 2 + 1")  # Base64 letters the bytes fill
    set(i 0)
    foreach(shift 18 12 6 0)
      if(i LESS kept)
        math(EXPR index "(${value} >> ${shift}) & 63")
        string(SUBSTRING "${alphabet}" ${index} 1 letter)
        string(APPEND text "${letter}")
      else()
        string(APPEND text "=")
      endif()
      math(EXPR i "${i} + 1")
    endforeach()
    math(EXPR at "${at} + 6")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The 'sha256-…' sources of every OPEN … CLOSE element of PAGE.
function(inline_hashes page open close out)
  set(sources "")
  string(LENGTH "${open}" open_length)
  while(TRUE)
    string(FIND "${page}" "${open}" start)
    if(start EQUAL -1)
      break()
    endif()
    math(EXPR start "${start} + ${open_length}")
    string(SUBSTRING "${page}" ${start} -1 page)
    string(FIND "${page}" "${close}" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "${open} without ${close}")
    endif()
    string(SUBSTRING "${page}" 0 ${end} code)
    string(SHA256 hex "${code}")
    base64_of_hex(${hex} hash)
    string(APPEND sources " 'sha256-${hash}'")
  endwhile()
  set(${out} "${sources}" PARENT_SCOPE)
endfunction()

file(READ "${INPUT}" page)
inline_hashes("${page}" "<script>" "</script>" scripts)
inline_hashes("${page}" "<style>" "</style>" styles)
set(policy "default-src 'none'; script-src${scripts}; style-src${styles}; img-src blob:; ")
string(APPEND policy "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'")
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${source} by tools/serve/page_policy.cmake at build time;
// edit that file, not this one.
#include <string_view>

namespace plotvane {

extern const std::string_view ${NAME};
const std::string_view ${NAME} =
    \"${policy}\";

}  // namespace plotvane
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
