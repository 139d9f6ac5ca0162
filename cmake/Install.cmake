# What `cmake --install` puts under the prefix: the module, the shared
# libraries, the tools, the headers a host needs, a CMake package and a
# pkg-config file, by component (packaging/build-debs.sh makes a Debian
# package of each).
include(CMakePackageConfigHelpers)
set(MIRELLE_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/mirelle)

set_target_properties(mirelle_platform PROPERTIES EXPORT_NAME system)
set_target_properties(mirelle_util PROPERTIES EXPORT_NAME util)
set_target_properties(mirelle_module PROPERTIES EXPORT_NAME module INSTALL_RPATH "$ORIGIN/..")
# The libraries find each other beside themselves, tools in ../lib (CMakeLists.txt).
set_target_properties(mirelle_platform mirelle_util PROPERTIES INSTALL_RPATH "$ORIGIN")
target_include_directories(mirelle_util PUBLIC $<INSTALL_INTERFACE:${MIRELLE_INCLUDE_DIR}>)

# Components, one a Debian package (packaging/build-debs.sh):
#   runtime   the system and utility libraries, the module, mirelle-regsvr, mirelle-reg
#   dev       headers, the .so links, the CMake package, the pkg-config file
#   tools     mirelle-run, mirelle-inspect, the bundled unit and demo scripts
#   launcher  the Qt launcher mirelle-demo
#   web       the browser console mirelle-web (when it is built)
install(TARGETS mirelle_platform mirelle_util EXPORT MirelleTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
install(TARGETS mirelle_module EXPORT MirelleTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/mirelle COMPONENT runtime NAMELINK_COMPONENT dev)
# The pseudo-locale resource module beside it (SystemLanguage "QPS").
install(FILES ${MIRELLE_PSEUDO_MODULE} DESTINATION ${CMAKE_INSTALL_LIBDIR}/mirelle COMPONENT runtime)
foreach(tool mirelle-regsvr mirelle-reg)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
  endif()
endforeach()
install(TARGETS mirelle-run mirelle-inspect RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/apps/units ${CMAKE_SOURCE_DIR}/apps/demo
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mirelle COMPONENT tools
  FILES_MATCHING PATTERN "*.json" PATTERN "*.script" PATTERN "files/*")
if(TARGET mirelle-demo)
  install(TARGETS mirelle-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT launcher)
endif()
if(TARGET mirelle-web)
  install(TARGETS mirelle-web RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT web)
endif()

# Headers: the interfaces host and component share, the COM and window
# system headers of the system library, the utility library's classes.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/interfaces ${CMAKE_SOURCE_DIR}/platform
  DESTINATION ${MIRELLE_INCLUDE_DIR} COMPONENT dev FILES_MATCHING PATTERN "*.h")
install(FILES ${CMAKE_SOURCE_DIR}/util/Util.h ${CMAKE_SOURCE_DIR}/util/DisplayInfo.h
  ${CMAKE_SOURCE_DIR}/util/AudioInfo.h DESTINATION ${MIRELLE_INCLUDE_DIR}/util COMPONENT dev)

install(EXPORT MirelleTargets NAMESPACE Mirelle:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Mirelle COMPONENT dev)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/MirelleConfig.cmake.in
  ${CMAKE_BINARY_DIR}/MirelleConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Mirelle)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/MirelleConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/MirelleConfig.cmake ${CMAKE_BINARY_DIR}/MirelleConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Mirelle COMPONENT dev)
# The pkg-config file finds the prefix from its own folder, so that it is
# right wherever the tree is installed.
file(RELATIVE_PATH MIRELLE_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" MIRELLE_PC_TO_PREFIX "${MIRELLE_PC_TO_PREFIX}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/mirelle.pc.in ${CMAKE_BINARY_DIR}/mirelle.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/mirelle.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# The Debian packages: packaging/build-debs.sh builds them from this tree's
# components (the maintainer scripts register the module in the machine's
# registry store and remove it again).
