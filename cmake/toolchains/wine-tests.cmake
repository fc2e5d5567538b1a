# How the test programs of a Windows cross build run: under Wine, through
# CTest. Included by tests/CMakeLists.txt before the test rooms.
#
# - CMAKE_CROSSCOMPILING_EMULATOR puts wine-run.sh in front of every test
#   program; it sets up a private prefix under the build folder and keeps
#   Wine's long-lived processes off CTest's output pipe.
# - Each GoogleTest program is one CTest test; its output names any failing
#   case. Registering cases one by one would run every program under Wine
#   to list them (gtest_discover_tests: at build time, Wine's server then
#   started from the build) and start Wine again for each case, about 0.2 s
#   a start plus 0.4 s for wine-run.sh's set-up check.
# - Wine can fail to start a program and still exit 0 (a 64-bit-only Wine
#   given a 32-bit program, for one). So a test passes only on a closing
#   line its program prints after everything passed: GoogleTest programs get
#   a main() that prints DRV_WINE_PASS_LINE, other programs name their own
#   line (drv_target_test).
# - A machine whose kernel cannot execute 32-bit code at all reports the
#   tests of the 32-bit build as skipped (wine-run.sh, exit code 77).

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(DRV_WINE_ARCH win32)
    set(loader_names wine)
else()
    set(DRV_WINE_ARCH win64)
    set(loader_names wine64)
endif()
# Where tools/bootstrap.sh unpacks 32-bit Wine when wine32:i386 cannot be
# installed (the reason is in its header).
set(DRV_WINE32_ROOT ${PROJECT_SOURCE_DIR}/build/wine32-root CACHE PATH
    "Private 32-bit Wine unpacked by tools/bootstrap.sh i386")
# Debian keeps each word size's loader in /usr/lib/wine; elsewhere the
# loader on the PATH must match the build's word size. Debian's
# /usr/bin/wine is only a wrapper that picks whichever loader is installed,
# so where /usr/lib/wine exists the PATH is not searched: a missing 32-bit
# loader must stay missing, to be reported as such.
find_program(DRV_WINE_LOADER NAMES ${loader_names} PATHS /usr/lib/wine NO_DEFAULT_PATH
    NO_CACHE)
if(NOT DRV_WINE_LOADER AND NOT IS_DIRECTORY /usr/lib/wine)
    find_program(DRV_WINE_LOADER NAMES ${loader_names} NO_CACHE)
endif()
if(NOT DRV_WINE_LOADER AND DRV_WINE_ARCH STREQUAL win32)
    # Taken even before bootstrap.sh has unpacked it: wine-run.sh reports
    # a missing loader when the tests run.
    set(DRV_WINE_LOADER ${DRV_WINE32_ROOT}/usr/lib/wine/wine)
elseif(NOT DRV_WINE_LOADER)
    # Left for wine-run.sh to report, so that building without Wine works.
    set(DRV_WINE_LOADER /usr/lib/wine/${loader_names})
endif()

set(DRV_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
set(DRV_WINE_RUN /bin/sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh
    ${DRV_WINE_LOADER} ${DRV_WINE_ARCH} ${DRV_WINE_PREFIX})
# A cache entry, so that test programs of every folder configured after
# this one (the fuzz replays too) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${DRV_WINE_RUN}" CACHE STRING
    "Runs the Windows test programs (under Wine)" FORCE)

# The closing line of a GoogleTest program: its format, and what CTest
# requires (at least one test, and the build's own word size).
set(pass_format "all %d tests passed in a %d-bit Windows process")
math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
string(REPLACE "%d tests" "[1-9][0-9]* tests" DRV_WINE_PASS_LINE "${pass_format}")
string(REPLACE "%d-bit" "${bits}-bit" DRV_WINE_PASS_LINE "${DRV_WINE_PASS_LINE}")

add_library(drv_windows_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/support/windows_test_main.cpp)
target_link_libraries(drv_windows_test_main PUBLIC GTest::gtest PRIVATE drv_warnings)
target_compile_definitions(drv_windows_test_main PRIVATE DRV_PASS_FORMAT="${pass_format}")

# Stops Wine's server once every test that runs under Wine is done.
add_test(NAME wine.stop COMMAND ${DRV_WINE_RUN} --stop)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

# drv_add_wine_test(<target>): registers a GoogleTest program as one test.
function(drv_add_wine_test target)
    target_link_libraries(${target} PRIVATE drv_windows_test_main)
    add_test(NAME ${target} COMMAND ${target})
    drv_target_test(${target} "${DRV_WINE_PASS_LINE}")
    set_tests_properties(${target} PROPERTIES LABELS "unit")
endfunction()
