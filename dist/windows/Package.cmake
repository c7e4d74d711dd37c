# The Windows packages of a build, made with every build where NSIS's makensis is found: in
# packages/ of the build folder, an installer (per user, no administrator rights, Start-menu entry,
# uninstaller) and a portable zip, both holding the program's folder as `cmake --install` makes it
# (dist/windows/Install.cmake). dist/windows/MakePackages.cmake makes them. Included from the
# top-level CMakeLists.txt after Install.cmake.

find_program(KORVANE_MAKENSIS makensis NO_CMAKE_FIND_ROOT_PATH)
if(NOT KORVANE_MAKENSIS OR NOT CMAKE_STRIP)
    message(STATUS "No makensis: the Windows installer and zip are not made")
    return()
endif()

set(korvane_package_name KorvaneManager-${PROJECT_VERSION}-x64)
set(KORVANE_WINDOWS_INSTALLER ${CMAKE_BINARY_DIR}/packages/${korvane_package_name}-setup.exe)
set(KORVANE_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/packages/${korvane_package_name}.zip)

set(version_quad ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
foreach(part PATCH TWEAK)
    if(PROJECT_VERSION_${part} STREQUAL "")
        string(APPEND version_quad .0)
    else()
        string(APPEND version_quad .${PROJECT_VERSION_${part}})
    endif()
endforeach()

# Every file the program's folder takes, so that a new library or plug-in makes new packages.
set(inputs $<TARGET_FILE:KorvaneMgr> $<TARGET_FILE:korvane-cli> ${korvane_compiler_runtime})
foreach(library ${korvane_qt_libraries})
    list(APPEND inputs $<TARGET_FILE:${library}>)
endforeach()
foreach(plugin ${korvane_qt_plugins})
    list(GET plugin 1 target)
    list(APPEND inputs $<TARGET_FILE:${target}>)
endforeach()

set(script ${CMAKE_CURRENT_LIST_DIR}/MakePackages.cmake)
set(nsis ${CMAKE_CURRENT_LIST_DIR}/installer.nsi)
add_custom_command(
    OUTPUT ${KORVANE_WINDOWS_INSTALLER} ${KORVANE_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DWORK=${CMAKE_BINARY_DIR}/packages/work
            -DNAME=${korvane_package_name} -DINSTALLER=${KORVANE_WINDOWS_INSTALLER}
            -DZIP=${KORVANE_WINDOWS_ZIP} -DSTRIP=${CMAKE_STRIP} -DMAKENSIS=${KORVANE_MAKENSIS}
            -DVERSION=${PROJECT_VERSION} -DVERSION_QUAD=${version_quad} -DSCRIPT=${nsis}
            -P ${script}
    DEPENDS ${inputs} ${script} ${nsis} KorvaneMgr korvane-cli
    COMMENT "Making the Windows installer and zip"
    VERBATIM)
add_custom_target(windows_packages ALL DEPENDS ${KORVANE_WINDOWS_INSTALLER} ${KORVANE_WINDOWS_ZIP})
