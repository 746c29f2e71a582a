# Installs the build into a scratch prefix and checks that the three programs share one folder
# and that the desktop entry and icons land where Linux desktops look for them.
set(prefix "${BUILD}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/korva bin/korva-convert bin/hhc.exe share/applications/korva.desktop
             share/icons/hicolor/16x16/apps/korva.png share/icons/hicolor/32x32/apps/korva.png)
    if(NOT EXISTS "${prefix}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(REMOVE_RECURSE "${prefix}")
