# 32-bit Windows (PE32, i386): the driver DLLs hosts on Windows load.
# Debian package: g++-mingw-w64-i686-posix.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(DRV_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
