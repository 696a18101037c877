# What a modder installs: play, the host for a mod's build (native and
# mingw), the Windows parts for --asi, the docs and a CMake package; as a
# .deb for Debian 12 and a .tar.gz, both made by the target `packages` into
# dist/, with their checksums in dist/SHA256SUMS. `cmake --install` lays out
# the same tree.
include(CMakePackageConfigHelpers)
set(standin_cmake_dir lib/cmake/RDR2StandIn)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/package/RDR2StandInConfig.cmake.in
  ${CMAKE_BINARY_DIR}/RDR2StandInConfig.cmake INSTALL_DESTINATION ${standin_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/RDR2StandInConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/RDR2StandInConfig.cmake
              ${CMAKE_BINARY_DIR}/RDR2StandInConfigVersion.cmake DESTINATION ${standin_cmake_dir})
install(EXPORT RDR2StandInTargets NAMESPACE RDR2StandIn:: DESTINATION ${standin_cmake_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/scenarios/ DESTINATION share/rdr2-standin/scenarios)
install(FILES ${PROJECT_SOURCE_DIR}/docs/host.md ${PROJECT_SOURCE_DIR}/docs/scenarios.md
              ${PROJECT_SOURCE_DIR}/docs/modding.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION share/doc/rdr2-standin)

set(CPACK_PACKAGE_NAME rdr2-standin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "theater_plugins")
set(CPACK_PACKAGE_CONTACT "theater_plugins")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stand-in game and script-hook host to play and test RDR2 script plug-ins")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SYSTEM_NAME linux-x86_64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# What play and the host link (checked by tests/install/package_test.sh
# against dpkg-shlibdeps); wine only for --asi, so a native-only modder
# may leave it out.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libboost-context1.74.0 (>= 1.74.0+ds1), libc6 (>= 2.35), libcpp-httplib0.11 (>= 0.11.4+ds), libgcc-s1 (>= 3.0), libstdc++6 (>= 11)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine64")
include(CPack)

set(standin_packages ${CMAKE_BINARY_DIR}/packages/rdr2-standin_${PROJECT_VERSION}_amd64.deb
                     ${CMAKE_BINARY_DIR}/packages/rdr2-standin-${PROJECT_VERSION}-linux-x86_64.tar.gz)
add_custom_target(packages
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${standin_packages} ${PROJECT_SOURCE_DIR}/dist
  COMMAND ${CMAKE_COMMAND} -DSUMS=${PROJECT_SOURCE_DIR}/dist/SHA256SUMS
          "-DFILES=rdr2-standin_${PROJECT_VERSION}_amd64.deb;rdr2-standin-${PROJECT_VERSION}-linux-x86_64.tar.gz"
          -P ${CMAKE_CURRENT_LIST_DIR}/update_sums.cmake
  COMMENT "dist/rdr2-standin packages (.deb, .tar.gz) and their checksums"
  VERBATIM)
add_dependencies(packages play scripthook cinema toytrain)
