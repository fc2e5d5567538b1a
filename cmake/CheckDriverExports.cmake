# Checks one driver library (run with cmake -P).
#
# ELF (inputs LIBRARY, ENTRY, NM, READELF):
#  - its dynamic symbol table defines exactly ENTRY and nothing else;
#  - it needs no shared library but the C/C++ runtime (and the sanitizer
#    runtimes in a sanitizer build).
# PE (inputs LIBRARY, ENTRY, OBJDUMP, POINTER_SIZE):
#  - it is a DLL of the expected kind: PE32 (i386) for POINTER_SIZE 4,
#    PE32+ (x86-64) for 8;
#  - its export table holds one entry, named ENTRY as it stands: no leading
#    underscore, no @<bytes> suffix, so a host finds it by its plain name;
#  - it imports from Windows system DLLs only: KERNEL32 and the C runtime
#    (msvcrt, or the universal CRT), never a MinGW runtime DLL.
foreach(var LIBRARY ENTRY)
    if(NOT ${var})
        message(FATAL_ERROR "CheckDriverExports: ${var} not set")
    endif()
endforeach()

function(run_tool output)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${rc})")
    endif()
    set(${output} "${text}" PARENT_SCOPE)
endfunction()

function(check_elf)
    run_tool(symbols ${NM} -D --defined-only --format=posix ${LIBRARY})
    string(REGEX REPLACE "\n$" "" symbols "${symbols}")
    string(REPLACE "\n" ";" symbols "${symbols}")
    set(exported)
    foreach(line IN LISTS symbols)
        string(REGEX MATCH "^[^ ]+" name "${line}")
        # Version-definition entries of the version script show up as
        # absolute symbols ("A"); they are not code or data.
        if(line MATCHES "^[^ ]+ A ")
            continue()
        endif()
        list(APPEND exported ${name})
    endforeach()
    if(NOT exported STREQUAL ENTRY)
        message(FATAL_ERROR "${LIBRARY} exports [${exported}], expected exactly [${ENTRY}]")
    endif()

    run_tool(dynamic ${READELF} -d ${LIBRARY})
    string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]]+\\]" needed "${dynamic}")
    set(allowed "^(libc|libm|libstdc\\+\\+|libgcc_s|ld-linux[^.]*|libasan|libubsan)\\.so")
    foreach(entry IN LISTS needed)
        string(REGEX MATCH "\\[([^]]+)\\]" _ "${entry}")
        set(lib "${CMAKE_MATCH_1}")
        if(NOT lib MATCHES "${allowed}")
            message(FATAL_ERROR "${LIBRARY} needs ${lib}; drivers may link only the C/C++ runtime")
        endif()
    endforeach()
endfunction()

function(check_pe)
    if(POINTER_SIZE EQUAL 4)
        set(format "pei-i386")
        set(magic "010b\t\\(PE32\\)")
    else()
        set(format "pei-x86-64")
        set(magic "020b\t\\(PE32\\+\\)")
    endif()
    run_tool(headers ${OBJDUMP} -p ${LIBRARY})
    if(NOT headers MATCHES "file format ${format}\n" OR NOT headers MATCHES "\nMagic\t+${magic}\n")
        message(FATAL_ERROR "${LIBRARY} is not a ${format} image")
    endif()
    if(NOT headers MATCHES "\nCharacteristics 0x[0-9a-f]+\n(\t[^\n]+\n)*\tDLL\n")
        message(FATAL_ERROR "${LIBRARY} is not marked as a DLL")
    endif()

    # "Number in:" counts every exported address, named or by ordinal only.
    if(NOT headers MATCHES "\tExport Address Table[ \t]+([0-9a-f]+)\n")
        message(FATAL_ERROR "${LIBRARY} has no export table")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL "00000001")
        message(FATAL_ERROR "${LIBRARY} exports 0x${CMAKE_MATCH_1} addresses, expected 1")
    endif()
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t[^\n]*\n)*" table "${headers}")
    string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" rows "${table}")
    set(names)
    foreach(row IN LISTS rows)
        string(REGEX REPLACE "^\t\\[ *[0-9]+\\] " "" row "${row}")
        list(APPEND names "${row}")
    endforeach()
    if(NOT names STREQUAL ENTRY)
        message(FATAL_ERROR "${LIBRARY} exports the names [${names}], expected exactly [${ENTRY}]")
    endif()

    string(REGEX MATCHALL "\tDLL Name: [^\n]+" imports "${headers}")
    if(NOT imports)
        # Every DLL the toolchain makes imports KERNEL32; none found means
        # the listing was not understood.
        message(FATAL_ERROR "${LIBRARY}: no imported DLL found in the ${OBJDUMP} listing")
    endif()
    set(allowed "^(kernel32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
    foreach(entry IN LISTS imports)
        string(REGEX REPLACE "^\tDLL Name: " "" dll "${entry}")
        string(TOLOWER "${dll}" lower)
        if(NOT lower MATCHES "${allowed}")
            message(FATAL_ERROR "${LIBRARY} imports from ${dll}; a driver DLL may use "
                "only KERNEL32 and the C runtime (link the MinGW runtimes statically)")
        endif()
    endforeach()
endfunction()

if(OBJDUMP)
    check_pe()
elseif(NM AND READELF)
    check_elf()
else()
    message(FATAL_ERROR "CheckDriverExports: set OBJDUMP (PE) or NM and READELF (ELF)")
endif()
message(STATUS "${LIBRARY}: exports ${ENTRY} only")
