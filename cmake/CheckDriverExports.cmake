# Checks one ELF driver library (run with cmake -P):
#  - its dynamic symbol table defines exactly ENTRY and nothing else;
#  - it needs no shared library but the C/C++ runtime (and the sanitizer
#    runtimes in a sanitizer build).
# Inputs: LIBRARY, ENTRY, NM, READELF.
foreach(var LIBRARY ENTRY NM READELF)
    if(NOT ${var})
        message(FATAL_ERROR "CheckDriverExports: ${var} not set")
    endif()
endforeach()

execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX REPLACE "\n$" "" symbols "${symbols}")
string(REPLACE "\n" ";" symbols "${symbols}")
set(exported)
foreach(line IN LISTS symbols)
    string(REGEX MATCH "^[^ ]+" name "${line}")
    # Version-definition entries of the version script show up as absolute
    # symbols ("A"); they are not code or data.
    if(line MATCHES "^[^ ]+ A ")
        continue()
    endif()
    list(APPEND exported ${name})
endforeach()
if(NOT exported STREQUAL ENTRY)
    message(FATAL_ERROR "${LIBRARY} exports [${exported}], expected exactly [${ENTRY}]")
endif()

execute_process(COMMAND ${READELF} -d ${LIBRARY} OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${READELF} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]]+\\]" needed "${dynamic}")
set(allowed "^(libc|libm|libstdc\\+\\+|libgcc_s|ld-linux[^.]*|libasan|libubsan)\\.so")
foreach(entry IN LISTS needed)
    string(REGEX MATCH "\\[([^]]+)\\]" _ "${entry}")
    set(lib "${CMAKE_MATCH_1}")
    if(NOT lib MATCHES "${allowed}")
        message(FATAL_ERROR "${LIBRARY} needs ${lib}; drivers may link only the C/C++ runtime")
    endif()
endforeach()
message(STATUS "${LIBRARY}: exports ${ENTRY} only")
