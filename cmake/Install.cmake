# What `cmake --install` puts under the prefix: the module, the shared
# libraries, the tools, the headers a host needs, a CMake package and a
# pkg-config file; and the Debian package built from the same (cpack -G DEB).
include(CMakePackageConfigHelpers)
set(MIRELLE_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/mirelle)

set_target_properties(mirelle_platform PROPERTIES EXPORT_NAME system)
set_target_properties(mirelle_util PROPERTIES EXPORT_NAME util)
set_target_properties(mirelle_module PROPERTIES EXPORT_NAME module INSTALL_RPATH "$ORIGIN/..")
target_include_directories(mirelle_util PUBLIC $<INSTALL_INTERFACE:${MIRELLE_INCLUDE_DIR}>)

install(TARGETS mirelle_platform mirelle_util EXPORT MirelleTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime)
install(TARGETS mirelle_module EXPORT MirelleTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/mirelle COMPONENT runtime)
# The pseudo-locale resource module beside it (SystemLanguage "QPS").
install(FILES ${MIRELLE_PSEUDO_MODULE} DESTINATION ${CMAKE_INSTALL_LIBDIR}/mirelle COMPONENT runtime)
set(mirelle_tools mirelle-run mirelle-inspect mirelle-regsvr)
if(TARGET mirelle-reg)
  list(APPEND mirelle_tools mirelle-reg)
endif()
if(TARGET mirelle-demo)
  list(APPEND mirelle_tools mirelle-demo)
endif()
install(TARGETS ${mirelle_tools} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/apps/units ${CMAKE_SOURCE_DIR}/apps/demo
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mirelle COMPONENT runtime
  FILES_MATCHING PATTERN "*.json" PATTERN "*.script" PATTERN "files/*")

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
configure_file(${CMAKE_SOURCE_DIR}/cmake/mirelle.pc.in ${CMAKE_BINARY_DIR}/mirelle.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/mirelle.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# The Debian package: everything above, the module registered after
# installation and unregistered before removal.
configure_file(${CMAKE_SOURCE_DIR}/packaging/postinst.in ${CMAKE_BINARY_DIR}/packaging/postinst @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/prerm.in ${CMAKE_BINARY_DIR}/packaging/prerm @ONLY)
file(CHMOD ${CMAKE_BINARY_DIR}/packaging/postinst ${CMAKE_BINARY_DIR}/packaging/prerm
  PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_NAME mirelle)
set(CPACK_PACKAGE_VENDOR "Mirelle developers")
set(CPACK_PACKAGE_CONTACT "Mirelle developers <mirelle@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Setup user interface component of the Quellan digital video recorder")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/postinst ${CMAKE_BINARY_DIR}/packaging/prerm)
include(CPack)
