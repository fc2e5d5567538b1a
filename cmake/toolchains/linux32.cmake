# 32-bit x86 Linux (i686), built on an x86-64 machine with gcc -m32
# (Debian package: g++-multilib, which needs no i386 package index). The
# programs run natively: x86-64 kernels execute 32-bit code. Only the
# drivers, their tests and the fuzz replays are built: the host tool's
# libraries (libpng) and the system's GoogleTest exist here for 64-bit only,
# so GoogleTest is compiled from its sources (tests/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
foreach(lang C CXX)
    set(CMAKE_${lang}_FLAGS_INIT "-m32")
endforeach()
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-m32")
endforeach()
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# The build machine's programs (readelf, nm, bash) are used as they are;
# libraries and headers of the build machine's word size are not.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
