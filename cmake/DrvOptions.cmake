# Compiler settings shared by every target.
#
# drv_warnings: the warning set for all project code (CI turns warnings into
#   errors through CMAKE_COMPILE_WARNING_AS_ERROR in the presets).
# drv_driver_options: what driver code must obey on top: no exceptions, no
#   RTTI, and the stricter conversion warnings, since every narrowing in a
#   byte-level encoder is a place where output can silently go wrong.

add_library(drv_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(drv_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wformat=2
        $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast>)
endif()

add_library(drv_driver_options INTERFACE)
target_link_libraries(drv_driver_options INTERFACE drv_warnings)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(drv_driver_options INTERFACE
        $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>
        -Wconversion -Wsign-conversion)
endif()

if(DRV_SANITIZE)
    set(DRV_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_compile_options(${DRV_SANITIZER_FLAGS})
    add_link_options(${DRV_SANITIZER_FLAGS})
endif()
