# Writes the runtime's public headers into OUTPUT_DIR as their clients include
# them: each of HEADERS (file names in SOURCE_DIR) with its includes of the
# runtime's own headers spelled "automation/com/NAME", the folder the headers
# are installed in. Every header so included must be one of HEADERS. Run with
# cmake -P at build time.
cmake_minimum_required(VERSION 3.21)
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
foreach(header IN LISTS HEADERS)
  file(READ "${SOURCE_DIR}/${header}" text)
  string(REGEX MATCHALL "#include \"runtime/[^\"]+\"" includes "${text}")
  foreach(include IN LISTS includes)
    string(REGEX REPLACE "#include \"runtime/([^\"]+)\"" "\\1" name "${include}")
    if(NOT name IN_LIST HEADERS)
      message(FATAL_ERROR "${header} includes ${name}, which is not a public header")
    endif()
  endforeach()
  string(REPLACE "#include \"runtime/" "#include \"automation/com/" text "${text}")
  file(WRITE "${OUTPUT_DIR}/${header}.tmp" "${text}")
  file(COPY_FILE "${OUTPUT_DIR}/${header}.tmp" "${OUTPUT_DIR}/${header}" ONLY_IF_DIFFERENT)
  file(REMOVE "${OUTPUT_DIR}/${header}.tmp")
endforeach()
