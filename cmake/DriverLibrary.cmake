# drv_compile_as_driver(<target>)
#
# Driver code rules for <target>'s own sources: no exceptions, strict
# conversion warnings (drv_driver_options), hidden visibility, and
# DRV_BUILDING_DRIVER so that the one entry declared with DRV_ENTRY is the
# only symbol marked for export.
function(drv_compile_as_driver target)
    target_link_libraries(${target} PRIVATE drv_driver_options)
    target_compile_definitions(${target} PRIVATE DRV_BUILDING_DRIVER)
    set_target_properties(${target} PROPERTIES
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# drv_add_driver_objects(<name> SOURCES ... [LINK ...])
#
# The compiled code of a driver, once: an OBJECT library that the shipped
# library and the tests both link, compiled as driver code. LINK names its
# public dependencies.
function(drv_add_driver_objects name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    add_library(${name} OBJECT ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC drv_headers ${ARG_LINK})
    drv_compile_as_driver(${name})
endfunction()

# drv_add_driver_library(<name> ENTRY <symbol> [HEAP] [SOURCES ...] LINK <targets...>)
#
# Builds one driver deliverable: lib<name>.so on Linux, <name>.dll on Windows,
# written to DRV_LIBRARY_DIR. Only <symbol> (pldbin or dgdbin) is exported:
# sources are compiled with hidden visibility and DRV_BUILDING_DRIVER, and on
# ELF a version script hides anything a static dependency might still carry.
# LINK names the object/static libraries that hold the driver's code; HEAP
# adds the C heap behind obtainBlock/releaseBlock (drv_heap) for drivers that
# allocate work memory. A test checks the exported symbols and the
# shared-library dependencies of the result.
function(drv_add_driver_library name)
    cmake_parse_arguments(ARG "HEAP" "ENTRY" "SOURCES;LINK" ${ARGN})
    if(NOT ARG_ENTRY)
        message(FATAL_ERROR "drv_add_driver_library(${name}): ENTRY is required")
    endif()

    set(heap)
    if(ARG_HEAP)
        set(heap $<TARGET_OBJECTS:drv_heap>)
    endif()
    add_library(${name} SHARED ${ARG_SOURCES} ${heap})
    target_link_libraries(${name} PRIVATE ${ARG_LINK} drv_headers)
    drv_compile_as_driver(${name})
    set_target_properties(${name} PROPERTIES
        LIBRARY_OUTPUT_DIRECTORY ${DRV_LIBRARY_DIR}
        RUNTIME_OUTPUT_DIRECTORY ${DRV_LIBRARY_DIR})

    if(WIN32)
        # A DLL exports what its code marks dllexport (the entry, through
        # DRV_ENTRY) and, when nothing is marked, every global symbol;
        # --exclude-all-symbols rules out the latter for good.
        set_target_properties(${name} PROPERTIES PREFIX "")
        target_link_options(${name} PRIVATE -Wl,--exclude-all-symbols)
    else()
        set(map ${CMAKE_CURRENT_BINARY_DIR}/${name}.exports.map)
        file(WRITE ${map} "{\n  global: ${ARG_ENTRY};\n  local: *;\n};\n")
        target_link_options(${name} PRIVATE -Wl,--version-script=${map})
        # Every symbol resolved at link time, so a missing one fails the
        # build, not a host's dlopen. Not with clang's sanitizers: clang
        # links their runtime into the executable only, and a shared
        # library finds it there once loaded.
        if(NOT (DRV_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
            target_link_options(${name} PRIVATE -Wl,--no-undefined)
        endif()
        set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${map})
    endif()

    install(TARGETS ${name}
        LIBRARY DESTINATION ${DRV_INSTALL_DRIVERDIR} COMPONENT drvsuite
        RUNTIME DESTINATION ${DRV_INSTALL_DRIVERDIR} COMPONENT drvsuite)

    if(DRV_BUILD_TESTS)
        drv_add_library_check(exports.${name} ${name} ${ARG_ENTRY})
    endif()
    set_property(GLOBAL APPEND PROPERTY DRV_DRIVER_LIBRARIES ${name})
endfunction()

# drv_add_library_check(<test> <target> <entry>): the test that the shared
# library <target> exports <entry> alone and needs only system libraries
# (CheckDriverExports.cmake), run on the build machine.
function(drv_add_library_check test target entry)
    if(WIN32)
        set(tools -DOBJDUMP=${CMAKE_OBJDUMP} -DPOINTER_SIZE=${CMAKE_SIZEOF_VOID_P})
    else()
        set(tools -DNM=${CMAKE_NM} -DREADELF=${CMAKE_READELF})
    endif()
    add_test(NAME ${test}
        COMMAND ${CMAKE_COMMAND}
            -DLIBRARY=$<TARGET_FILE:${target}> -DENTRY=${entry} ${tools}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckDriverExports.cmake)
    set_tests_properties(${test} PROPERTIES LABELS "exports")
endfunction()
