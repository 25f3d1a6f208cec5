# Fails when a source folder includes a header of a folder it must not depend
# on: the layers point one way, and the clients of the server (the command,
# its service, the Python module) reach it only through the runtime, as a
# foreign automation client does. Each rule names what a folder's files may
# include of ours; libraries of others are not checked. Run with
# cmake -P, SOURCE_DIR the repository.
cmake_minimum_required(VERSION 3.21)
set(ours base canvas engine imaging runtime automation client tools python)
set(may_include_base base)
set(may_include_canvas base canvas)
set(may_include_engine base canvas engine)
set(may_include_imaging base canvas imaging)
set(may_include_runtime base runtime)
set(may_include_automation base canvas engine imaging runtime automation)
set(may_include_client base runtime client)
set(may_include_tools base runtime client tools)
set(may_include_python base runtime client python)

set(faults "")
foreach(folder IN LISTS ours)
  file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*.h"
       "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.c")
  foreach(file IN LISTS files)
    file(STRINGS "${SOURCE_DIR}/${file}" includes
         REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" header "${line}")
      string(REGEX REPLACE "/.*" "" target "${header}")
      if(target IN_LIST ours AND NOT target IN_LIST may_include_${folder})
        list(JOIN may_include_${folder} "/, " allowed)
        string(APPEND faults "  ${file} includes ${header}; ${folder}/ may include ${allowed}/ only\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes against the layers:\n${faults}")
endif()
