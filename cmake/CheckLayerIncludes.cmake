# Fails the build when an include points the wrong way between layers: the core
# (with the non-GUI platform half and the companion) includes no Qt header, and
# the GUI services and the dialogs never include the shell above them.
function(find_offenders globs pattern result)
    set(found "")
    foreach(glob IN LISTS globs)
        file(GLOB files "${SOURCE_DIR}/${glob}")
        foreach(file IN LISTS files)
            file(STRINGS "${file}" hits REGEX "${pattern}")
            if(hits)
                list(APPEND found "${file}")
            endif()
        endforeach()
    endforeach()
    set(${result} "${found}" PARENT_SCOPE)
endfunction()

set(core_globs
    src/model/*.h src/model/*.cpp
    src/archive/*.h src/archive/*.cpp
    src/settings/*.h src/settings/*.cpp
    src/platform/*.h src/platform/*.cpp
    src/platform/posix/*.cpp src/platform/win32/*.cpp
    src/cli/*.h src/cli/*.cpp)
set(below_shell_globs
    src/services/*.h src/services/*.cpp
    src/dialogs/*.h src/dialogs/*.cpp)
set(services_globs src/services/*.h src/services/*.cpp)

set(messages "")
find_offenders("${core_globs}" "^[ \t]*#[ \t]*include[ \t]*[<\"]Q" qt_in_core)
if(qt_in_core)
    list(JOIN qt_in_core "\n  " listing)
    string(APPEND messages "Core files include Qt headers:\n  ${listing}\n")
endif()
find_offenders("${below_shell_globs}" "^[ \t]*#[ \t]*include[ \t]*\"shell/" shell_below)
if(shell_below)
    list(JOIN shell_below "\n  " listing)
    string(APPEND messages "Files below the shell include it:\n  ${listing}\n")
endif()
find_offenders("${services_globs}" "^[ \t]*#[ \t]*include[ \t]*\"dialogs/" dialogs_below)
if(dialogs_below)
    list(JOIN dialogs_below "\n  " listing)
    string(APPEND messages "GUI services include the dialogs:\n  ${listing}\n")
endif()
if(messages)
    message(FATAL_ERROR "${messages}")
endif()
