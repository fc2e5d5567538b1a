# What `cmake --install` puts beside the libraries and the tool, and the
# Debian packages CPack makes of it (`cpack` in a build folder):
#
#   drvsuite      COMPONENT drvsuite: the driver libraries, drvhost, its man
#                 page, and whatever later install() rules add under that
#                 component (the root CMakeLists.txt says which)
#   drvsuite-dev  COMPONENT drvsuite-dev: the C headers, drvsuite.pc and the
#                 CMake package drvsuite (drvsuite::headers,
#                 DRVSUITE_DRIVER_DIR); depends on drvsuite of the same version
#
# The version is the project's (project(VERSION) in the root CMakeLists.txt);
# packaging/changelog must have an entry for it. Package dependencies are
# computed from the binaries (dpkg-shlibdeps). The packages install under
# /usr: the drivers in /usr/${DRV_INSTALL_DRIVERDIR}.
include(CMakePackageConfigHelpers)

# Debian's permissions for everything installed, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(DRV_PACKAGE_PREFIX /usr)
set(DRV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(DRV_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)

# --- drvsuite-dev: pkg-config and CMake packages -------------------------
# Both are relocatable (paths relative to where they are installed), so they
# serve a package under /usr, `cmake --install --prefix DIR` and an unpacked
# tree alike.
# drvsuite.pc names no library and nothing of one architecture, so it
# lives in the architecture-independent folder.
set(pc_dir ${CMAKE_INSTALL_DATADIR}/pkgconfig)
file(RELATIVE_PATH DRV_PC_PREFIX /prefix/${pc_dir} /prefix)
string(REGEX REPLACE "/$" "" DRV_PC_PREFIX "${DRV_PC_PREFIX}")
configure_file(${DRV_PACKAGING_DIR}/drvsuite.pc.in ${DRV_PACKAGING_BINARY_DIR}/drvsuite.pc @ONLY)
install(FILES ${DRV_PACKAGING_BINARY_DIR}/drvsuite.pc DESTINATION ${pc_dir}
    COMPONENT drvsuite-dev)

set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/drvsuite)
set_target_properties(drv_headers PROPERTIES EXPORT_NAME headers)
install(TARGETS drv_headers EXPORT drvsuiteTargets COMPONENT drvsuite-dev)
install(EXPORT drvsuiteTargets NAMESPACE drvsuite:: DESTINATION ${cmake_dir}
    COMPONENT drvsuite-dev)
configure_package_config_file(${DRV_PACKAGING_DIR}/drvsuiteConfig.cmake.in
    ${DRV_PACKAGING_BINARY_DIR}/drvsuiteConfig.cmake
    INSTALL_DESTINATION ${cmake_dir}
    PATH_VARS DRV_INSTALL_DRIVERDIR)
# The pointer size is part of the match: drivers and host must agree on it.
write_basic_package_version_file(${DRV_PACKAGING_BINARY_DIR}/drvsuiteConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${DRV_PACKAGING_BINARY_DIR}/drvsuiteConfig.cmake
    ${DRV_PACKAGING_BINARY_DIR}/drvsuiteConfigVersion.cmake
    DESTINATION ${cmake_dir} COMPONENT drvsuite-dev)

# --- drvsuite: the man page -----------------------------------------------
if(TARGET drvhost)
    # The page describes the packaged tool.
    set(DRV_MAN_DRIVERDIR ${DRV_PACKAGE_PREFIX}/${DRV_INSTALL_DRIVERDIR})
    configure_file(${DRV_PACKAGING_DIR}/drvhost.1.in ${DRV_PACKAGING_BINARY_DIR}/drvhost.1 @ONLY)
    add_custom_command(OUTPUT ${DRV_PACKAGING_BINARY_DIR}/drvhost.1.gz
        COMMAND gzip -9nf -k ${DRV_PACKAGING_BINARY_DIR}/drvhost.1
        DEPENDS ${DRV_PACKAGING_BINARY_DIR}/drvhost.1
        COMMENT "Compressing the drvhost man page")
    add_custom_target(drvhost_man ALL DEPENDS ${DRV_PACKAGING_BINARY_DIR}/drvhost.1.gz)
    install(FILES ${DRV_PACKAGING_BINARY_DIR}/drvhost.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT drvsuite)
endif()

# --- Debian documentation of each package ----------------------------------
file(STRINGS ${DRV_PACKAGING_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^drvsuite \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog starts with \"${changelog_head}\": "
        "add an entry for version ${PROJECT_VERSION}")
endif()
add_custom_command(OUTPUT ${DRV_PACKAGING_BINARY_DIR}/changelog.gz
    COMMAND gzip -9n -c ${DRV_PACKAGING_DIR}/changelog > ${DRV_PACKAGING_BINARY_DIR}/changelog.gz
    DEPENDS ${DRV_PACKAGING_DIR}/changelog
    COMMENT "Compressing the package changelog")
add_custom_target(drv_package_changelog ALL DEPENDS ${DRV_PACKAGING_BINARY_DIR}/changelog.gz)
foreach(component drvsuite drvsuite-dev)
    install(FILES ${DRV_PACKAGING_DIR}/copyright ${DRV_PACKAGING_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${component} COMPONENT ${component})
endforeach()

# --- CPack -------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME drvsuite)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's synopsis is the first line of its description below; CPack
# puts this summary in front of every description unless it is its default.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_NAME} built using CMake")
set(CPACK_PACKAGE_CONTACT "drvsuite developers <drvsuite@packages.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${DRV_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL drvsuite drvsuite-dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_DRVSUITE_PACKAGE_NAME drvsuite)
set(CPACK_DEBIAN_DRVSUITE_PACKAGE_SECTION graphics)
set(CPACK_COMPONENT_DRVSUITE_DESCRIPTION
    "plotter and digitizer-tablet drivers with their host tool
Two plotter drivers (quillane: HP-GL/2 vectors and PCL raster images;
drevant: a binary-coded plot language in framed records) and 26
digitizer-tablet drivers, each a shared library with one C entry point,
plus drvhost, which loads them to plot scripts on serial, network or file
outputs and to read tablets.")

set(CPACK_DEBIAN_DRVSUITE-DEV_PACKAGE_NAME drvsuite-dev)
set(CPACK_DEBIAN_DRVSUITE-DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DRVSUITE-DEV_DEPENDS drvsuite)
set(CPACK_COMPONENT_DRVSUITE-DEV_DESCRIPTION
    "plotter and digitizer-tablet drivers - headers for hosts
The C headers of the drivers' entry points and records, a pkg-config file
(drvsuite.pc, whose driverdir variable names the drivers' folder) and the
CMake package drvsuite (imported target drvsuite::headers,
DRVSUITE_DRIVER_DIR), for programs that load the drivers.")

# A file installed under another component would be left out of both
# packages without a word.
get_cmake_property(other_components COMPONENTS)
list(REMOVE_ITEM other_components ${CPACK_COMPONENTS_ALL})
if(other_components)
    message(FATAL_ERROR "install() rules name the components [${other_components}]; "
        "the packages take ${CPACK_COMPONENTS_ALL} (see the root CMakeLists.txt)")
endif()

include(CPack)
