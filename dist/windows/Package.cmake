# The Windows packages of a build, made with every build where NSIS's makensis is found: in
# packages/ of the build folder, an installer (per user, no administrator rights, Start-menu entry,
# uninstaller) and a portable zip, both holding the program's folder as `cmake --install` makes it
# (dist/windows/Install.cmake). dist/windows/MakePackages.cmake makes them. Included from the
# top-level CMakeLists.txt after Install.cmake.

set(version_quad ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
foreach(part PATCH TWEAK)
    if(PROJECT_VERSION_${part} STREQUAL "")
        string(APPEND version_quad .0)
    else()
        string(APPEND version_quad .${PROJECT_VERSION_${part}})
    endif()
endforeach()

# KORVANE_WINDOWS_RESOURCES: the window program's icon, drawn at the sizes of the desktop icons
# (tools/drawicons), and its version, for app/CMakeLists.txt.
find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
    message(FATAL_ERROR "Python 3 makes the icon of KorvaneMgr.exe: please install it")
endif()
set(icon_pictures)
foreach(size 16 32 48 64 128 256)
    list(APPEND icon_pictures ${PROJECT_SOURCE_DIR}/dist/linux/icons/${size}.png)
endforeach()
set(korvane_icon ${CMAKE_BINARY_DIR}/dist/windows/KorvaneMgr.ico)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${icon_pictures}
                                                              ${CMAKE_CURRENT_LIST_DIR}/make_ico.py)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/dist/windows)
# Rewritten only when it changes, so that configuring again remakes no package.
execute_process(COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/make_ico.py
                        ${korvane_icon}.new ${icon_pictures} COMMAND_ERROR_IS_FATAL ANY)
file(COPY_FILE ${korvane_icon}.new ${korvane_icon} ONLY_IF_DIFFERENT)
file(REMOVE ${korvane_icon}.new)
# The resource names the icon's checksum, so that a new icon makes a new resource.
file(SHA256 ${korvane_icon} korvane_icon_sha256)
string(REPLACE "." "," korvane_version_commas ${version_quad})
configure_file(${CMAKE_CURRENT_LIST_DIR}/KorvaneMgr.rc.in ${CMAKE_BINARY_DIR}/dist/windows/KorvaneMgr.rc
               @ONLY)
set(KORVANE_WINDOWS_RESOURCES ${CMAKE_BINARY_DIR}/dist/windows/KorvaneMgr.rc)

# Made by the cross build on Linux, whose NSIS has the 64-bit stubs; on Windows only when asked.
option(KORVANE_WINDOWS_PACKAGES "Make the Windows installer and zip (makensis with amd64 stubs)"
       ${CMAKE_CROSSCOMPILING})
if(NOT KORVANE_WINDOWS_PACKAGES)
    return()
endif()
find_program(KORVANE_MAKENSIS makensis NO_CMAKE_FIND_ROOT_PATH)
if(NOT KORVANE_MAKENSIS OR NOT CMAKE_STRIP)
    message(STATUS "No makensis: the Windows installer and zip are not made")
    return()
endif()

set(korvane_package_name KorvaneManager-${PROJECT_VERSION}-x64)
set(KORVANE_WINDOWS_INSTALLER ${CMAKE_BINARY_DIR}/packages/${korvane_package_name}-setup.exe)
set(KORVANE_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/packages/${korvane_package_name}.zip)

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
            -DICON=${korvane_icon} -P ${script}
    DEPENDS ${inputs} ${script} ${nsis} ${korvane_icon} KorvaneMgr korvane-cli
    COMMENT "Making the Windows installer and zip"
    VERBATIM)
add_custom_target(windows_packages ALL DEPENDS ${KORVANE_WINDOWS_INSTALLER} ${KORVANE_WINDOWS_ZIP})
