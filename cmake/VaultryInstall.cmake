# Installs the module as a host builds against it: the layers' static libraries, their headers
# under include/vaultry, the vaultry and vaultry-manager programs (the latter with its desktop
# launcher and icon under the XDG data folders), and a CMake package with namespaced targets:
#
#   find_package(Vaultry REQUIRED)
#   target_link_libraries(host PRIVATE Vaultry::access)

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

get_property(vaultry_libraries GLOBAL PROPERTY VAULTRY_LIBRARIES)
install(TARGETS ${vaultry_libraries} EXPORT VaultryTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS vaultry vaultry-manager RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vaultry_jettext LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vaultry)
install(FILES ${PROJECT_SOURCE_DIR}/apps/vaultry-manager/vaultry-manager.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/apps/vaultry-manager/vaultry-manager.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
foreach(layer platform/afx platform/dao platform/ui host resources serial tables access controls
              dialogs)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${layer}/
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vaultry/${layer}
          FILES_MATCHING PATTERN "*.h" PATTERN "*.inc")
endforeach()

set(vaultry_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vaultry)
install(EXPORT VaultryTargets NAMESPACE Vaultry:: DESTINATION ${vaultry_package_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VaultryConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VaultryConfig.cmake
                              INSTALL_DESTINATION ${vaultry_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VaultryConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VaultryConfig.cmake
              ${PROJECT_BINARY_DIR}/VaultryConfigVersion.cmake
        DESTINATION ${vaultry_package_dir})
