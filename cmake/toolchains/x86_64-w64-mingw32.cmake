# 64-bit Windows (PE32+, x86-64). Debian package: g++-mingw-w64-x86-64-posix.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(DRV_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
