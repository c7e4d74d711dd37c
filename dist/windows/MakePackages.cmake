# Makes the installer and the portable zip of a Windows build (cmake -P, run by the target
# windows_packages of dist/windows/Package.cmake):
#   BUILD         the build folder, installed into a scratch folder with `cmake --install`
#   WORK          a folder of this script's own (emptied first)
#   NAME          the folder the zip unpacks into
#   INSTALLER ZIP the packages to write
#   STRIP MAKENSIS the tools
#   VERSION VERSION_QUAD  the version, and the same in four parts for the installer's file version
#   SCRIPT ICON   dist/windows/installer.nsi, and the icon the installer shows
foreach(variable BUILD WORK NAME INSTALLER ZIP STRIP MAKENSIS VERSION VERSION_QUAD SCRIPT ICON)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "MakePackages.cmake needs -D${variable}=...")
    endif()
endforeach()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "${command} failed (${status}):\n${output}")
    endif()
endfunction()

# The program's folder as `cmake --install` makes it: the two programs, the Qt libraries and
# plug-ins they load and the compiler's runtime (dist/windows/Install.cmake), without debug
# information, which would make each library several times its size.
set(stage ${WORK}/${NAME})
file(REMOVE_RECURSE ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage})
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(size 0)
foreach(file ${files})
    if(file MATCHES "\\.(exe|dll)$")
        run(${STRIP} --strip-unneeded ${stage}/${file})
    endif()
    file(SIZE ${stage}/${file} bytes)
    math(EXPR size "${size} + ${bytes}")
endforeach()
math(EXPR size_kb "(${size} + 1023) / 1024")

# The installer's lists: each file put in its folder, and on removal each file and then each
# folder, the deepest first, so that only what the installer wrote goes.
set(install_lines)
set(uninstall_lines)
set(folders)
set(current_folder "-")
foreach(file ${files})
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" windows_file "${file}")
    if(NOT folder STREQUAL current_folder)
        set(current_folder "${folder}")
        string(REPLACE "/" "\\" windows_folder "${folder}")
        if(folder)
            string(APPEND install_lines "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
            list(APPEND folders "${windows_folder}")
        else()
            string(APPEND install_lines "SetOutPath \"$INSTDIR\"\n")
        endif()
    endif()
    string(APPEND install_lines "File \"${stage}/${file}\"\n")
    string(APPEND uninstall_lines "Delete \"$INSTDIR\\${windows_file}\"\n")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder ${folders})
    string(APPEND uninstall_lines "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
string(APPEND install_lines "SetOutPath \"$INSTDIR\"\n")
file(WRITE ${WORK}/files.nsh "${install_lines}")
file(WRITE ${WORK}/unfiles.nsh "${uninstall_lines}")

file(REMOVE ${INSTALLER} ${ZIP})
run(${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DVERSION_QUAD=${VERSION_QUAD}
    -DOUTFILE=${INSTALLER} -DFILES=${WORK}/files.nsh -DUNFILES=${WORK}/unfiles.nsh
    -DSIZE_KB=${size_kb} -DICON=${ICON} ${SCRIPT})

# The zip holds the same folder, to unpack anywhere and run from there.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${NAME}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the zip ${ZIP} could not be written")
endif()

foreach(package ${INSTALLER} ${ZIP})
    file(SIZE ${package} bytes)
    math(EXPR kib "(${bytes} + 1023) / 1024")
    message(STATUS "${package}: ${kib} KiB")
endforeach()
