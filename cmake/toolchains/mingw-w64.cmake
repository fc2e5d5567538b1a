# Shared part of the Windows cross toolchains: Debian's MinGW-w64 for the
# triplet DRV_MINGW_TRIPLET (set by the including toolchain file).
#
# The -posix compiler variants are used: their libstdc++ has std::thread and
# std::mutex, which GoogleTest needs. libgcc, libstdc++ and winpthread are
# linked statically (-static), so a driver DLL or a test program needs
# nothing at run time but Windows system DLLs; import libraries of system
# DLLs are unaffected. Test programs run under Wine (wine-tests.cmake).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${DRV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DRV_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${DRV_MINGW_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${DRV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static")
endforeach()
