# What `cmake --install` places under the prefix:
#   bin/plotvane                       the command
#   LIBDIR/libplotvane.so              the in-process server
#   LIBDIR/libplotvane_com.so          the automation runtime
#   include/plotvane/plotvane.h        the interface (generated), and the
#   include/plotvane/automation/com/   runtime's headers it includes
#   LIBDIR/cmake/Plotvane/             find_package(Plotvane): Plotvane::plotvane
#   LIBDIR/pkgconfig/plotvane.pc       pkg-config plotvane
#   a folder of Python's /plotvane/    the Python package: the folder of the
#                                      prefix that the build's python3
#                                      searches, else PLOTVANE_PYTHON_DIR
# The target plotvane_product builds exactly these, and `make demo` builds it.
# Installed programs and libraries find their libraries relative to
# themselves, so a prefix may be moved as a whole. They are linked with that
# search path already, plus the path to the libraries in the build folder, so
# that installing copies them unchanged: the path CMake would otherwise write
# for the build folder is padded for editing at install with an empty entry,
# which makes the loader try the current folder first for every library.
function(plotvane_relative_rpath target from_dir built_in)
  file(RELATIVE_PATH to_lib "/${from_dir}" "/${CMAKE_INSTALL_LIBDIR}")
  file(RELATIVE_PATH to_built_lib "${built_in}" "${CMAKE_BINARY_DIR}")
  set(rpath "$ORIGIN/${to_lib}")
  if(NOT to_built_lib STREQUAL to_lib)
    list(APPEND rpath "$ORIGIN/${to_built_lib}")
  endif()
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${rpath}"
                                             BUILD_WITH_INSTALL_RPATH ON)
endfunction()

plotvane_relative_rpath(plotvane_server ${CMAKE_INSTALL_LIBDIR} ${CMAKE_BINARY_DIR})
plotvane_relative_rpath(plotvane ${CMAKE_INSTALL_BINDIR} ${CMAKE_BINARY_DIR})
install(TARGETS plotvane_com plotvane_server LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS plotvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(plotvane_include_dir ${CMAKE_INSTALL_INCLUDEDIR}/plotvane)
install(FILES ${PLOTVANE_PUBLIC_HEADER} DESTINATION ${plotvane_include_dir})
install(FILES ${PLOTVANE_RUNTIME_PUBLIC_HEADERS} DESTINATION ${plotvane_include_dir}/automation/com)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Plotvane)
file(RELATIVE_PATH PLOTVANE_PREFIX_FROM_PACKAGE "/${package_dir}" "/")
configure_file(cmake/PlotvaneConfig.cmake.in PlotvaneConfig.cmake @ONLY)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(PlotvaneConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PlotvaneConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/PlotvaneConfigVersion.cmake
        DESTINATION ${package_dir})
file(RELATIVE_PATH PLOTVANE_PREFIX_FROM_PKGCONFIG "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
configure_file(cmake/plotvane.pc.in plotvane.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/plotvane.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

add_custom_target(plotvane_product)
add_dependencies(plotvane_product plotvane plotvane_server plotvane_com plotvane_header)

if(TARGET _plotvane)
  add_dependencies(plotvane_product plotvane_python)
  get_target_property(python_module_dir _plotvane LIBRARY_OUTPUT_DIRECTORY)
  # The module finds the libraries from any folder three levels under the
  # prefix, as every folder Python searches there is (lib/python3.11/
  # site-packages, lib/python3/dist-packages).
  plotvane_relative_rpath(_plotvane ${PLOTVANE_PYTHON_DIR}/plotvane ${python_module_dir})
  # Which folder is only known at install time, when the prefix is: the
  # interpreter is asked which folder under the prefix it searches (its
  # user folder included). Where it searches none, the package goes to
  # PLOTVANE_PYTHON_DIR and the line that makes it found is printed.
  install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    set(python_dir \"${PLOTVANE_PYTHON_DIR}\")
    # Asked of the prefix itself, also when DESTDIR stages the files: the
    # prefix is where they will be used.
    execute_process(
      COMMAND \"${PLOTVANE_PYTHON}\" \"${PROJECT_SOURCE_DIR}/cmake/python_folder.py\" \"\${prefix}\"
      OUTPUT_VARIABLE searched OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed)
      set(searched \"\")
    endif()
    if(searched)
      set(python_dir \"\${searched}\")
    endif()
    file(INSTALL DESTINATION \"\${prefix}/\${python_dir}/plotvane\" TYPE FILE
         FILES \"${PROJECT_SOURCE_DIR}/python/plotvane/__init__.py\")
    file(INSTALL DESTINATION \"\${prefix}/\${python_dir}/plotvane\" TYPE MODULE
         FILES \"$<TARGET_FILE:_plotvane>\")
    if(NOT searched)
      message(STATUS \"${PLOTVANE_PYTHON} does not search \${prefix}; to import plotvane, run: \"
                     \"export PYTHONPATH=\${prefix}/\${python_dir}\")
    endif()
  ")
endif()
