# What `cmake --install` places under the prefix:
#   bin/plotvane                       the command
#   LIBDIR/libplotvane.so              the in-process server
#   LIBDIR/libplotvane_com.so          the automation runtime
#   include/plotvane/plotvane.h        the interface (generated), and the
#   include/plotvane/automation/com/   runtime's headers it includes
#   LIBDIR/cmake/Plotvane/             find_package(Plotvane): Plotvane::plotvane
#   LIBDIR/pkgconfig/plotvane.pc       pkg-config plotvane
#   PLOTVANE_PYTHON_DIR/plotvane/      the Python package
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

if(TARGET _plotvane)
  get_target_property(python_module_dir _plotvane LIBRARY_OUTPUT_DIRECTORY)
  plotvane_relative_rpath(_plotvane ${PLOTVANE_PYTHON_DIR}/plotvane ${python_module_dir})
  install(TARGETS _plotvane LIBRARY DESTINATION ${PLOTVANE_PYTHON_DIR}/plotvane)
  install(FILES python/plotvane/__init__.py DESTINATION ${PLOTVANE_PYTHON_DIR}/plotvane)
endif()
