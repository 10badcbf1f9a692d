# Fails when a file of the core layer (or the non-GUI platform half, or the CLI)
# includes a Qt header.
set(core_globs
    src/model/*.h src/model/*.cpp
    src/archive/*.h src/archive/*.cpp
    src/settings/*.h src/settings/*.cpp
    src/platform/*.h src/platform/*.cpp
    src/platform/posix/*.cpp src/platform/win32/*.cpp
    src/cli/*.h src/cli/*.cpp)
set(offenders "")
foreach(glob IN LISTS core_globs)
    file(GLOB files "${SOURCE_DIR}/${glob}")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" qt_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
        if(qt_includes)
            list(APPEND offenders "${file}")
        endif()
    endforeach()
endforeach()
if(offenders)
    list(JOIN offenders "\n  " listing)
    message(FATAL_ERROR "Core files include Qt headers:\n  ${listing}")
endif()
