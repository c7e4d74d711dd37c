# The Windows program as one folder, as the installer and the zip carry it: KorvaneMgr.exe and
# korvane-cli.exe with the Qt libraries and plug-ins they load and the compiler's runtime libraries
# beside them, and those libraries' licences in licenses\. The build folder gets the same
# libraries beside its programs (korvane_runtime), so the programs and the tests run there as
# installed. Included from the top-level CMakeLists.txt.

# The programs go to the top of the installation, where Windows looks for their libraries.
set(CMAKE_INSTALL_BINDIR .)

# The programs' manifest (dist/windows/Program.manifest), a resource of each: the window's and
# korvane-cli's CMakeLists add KORVANE_PROGRAM_RESOURCES to their sources.
enable_language(RC)
set(KORVANE_PROGRAM_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/Program.manifest)
set(KORVANE_PROGRAM_RESOURCES ${CMAKE_BINARY_DIR}/dist/windows/Program.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Program.rc.in ${KORVANE_PROGRAM_RESOURCES} @ONLY)

# Qt's libraries, and its plug-ins by the folder Qt looks for them in beside the program: the
# window system, the native look, TLS through Schannel, and .ico files (plug-in icons).
set(korvane_qt_libraries Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network)
set(korvane_qt_plugins
    "platforms\;Qt6::QWindowsIntegrationPlugin"
    "styles\;Qt6::QWindowsVistaStylePlugin"
    "tls\;Qt6::QSchannelBackendPlugin"
    "imageformats\;Qt6::QICOPlugin")

# The runtime libraries of MinGW-w64's g++ (posix threads), wherever the compiler keeps them:
# among its libraries (Debian), or beside the compiler itself (MSYS2, Qt's MinGW).
set(korvane_compiler_runtime)
if(MINGW)
    get_filename_component(compiler_folder ${CMAKE_CXX_COMPILER} DIRECTORY)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
            set(found ${compiler_folder}/${dll})
        endif()
        if(NOT EXISTS "${found}")
            message(FATAL_ERROR "${dll} of the compiler ${CMAKE_CXX_COMPILER} was not found")
        endif()
        file(REAL_PATH "${found}" found)
        list(APPEND korvane_compiler_runtime ${found})
    endforeach()
    # libgcrypt, which checks the updates' signatures, and the error library it links, as
    # Debian's MinGW-w64 packages of them install them.
    foreach(dll libgcrypt-20.dll libgpg-error-0.dll)
        string(MAKE_C_IDENTIFIER ${dll} variable)
        find_file(KORVANE_${variable} ${dll} PATH_SUFFIXES bin REQUIRED)
        list(APPEND korvane_compiler_runtime ${KORVANE_${variable}})
    endforeach()
endif()

# The licences of the libraries above, as Debian, whose sources and compilers built them,
# records them, under licenses\ with a note that says which is whose. A build on Windows itself
# uses libraries from elsewhere, whose licences its maker adds.
set(korvane_licence_files)
if(CMAKE_HOST_UNIX)
    set(korvane_licence_files
        "ThirdPartyNotices.txt\;${CMAKE_CURRENT_LIST_DIR}/ThirdPartyNotices.txt"
        "Qt.txt\;/usr/share/doc/libqt6core6/copyright"
        "LGPL-3.txt\;/usr/share/common-licenses/LGPL-3"
        "GPL-3.txt\;/usr/share/common-licenses/GPL-3"
        "GCC-runtime.txt\;/usr/share/doc/gcc-mingw-w64-base/copyright"
        "MinGW-w64.txt\;/usr/share/doc/mingw-w64-x86-64-dev/copyright"
        "libgcrypt.txt\;/usr/share/doc/libgcrypt-mingw-w64-dev/copyright"
        "libgpg-error.txt\;/usr/share/doc/libgpg-error-mingw-w64-dev/copyright"
        "LGPL-2.1.txt\;/usr/share/common-licenses/LGPL-2.1")
endif()
foreach(licence ${korvane_licence_files})
    list(GET licence 0 name)
    list(GET licence 1 source)
    if(NOT EXISTS "${source}")
        message(FATAL_ERROR "${source} was not found: the Windows packages must carry it")
    endif()
    install(FILES ${source} DESTINATION licenses RENAME ${name})
endforeach()

set(korvane_runtime_folder ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
if(NOT korvane_runtime_folder)
    set(korvane_runtime_folder ${CMAKE_BINARY_DIR})
endif()
set(copies)
foreach(library ${korvane_qt_libraries})
    install(FILES $<TARGET_FILE:${library}> DESTINATION .)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${library}>
                               ${korvane_runtime_folder})
endforeach()
foreach(plugin ${korvane_qt_plugins})
    list(GET plugin 0 folder)
    list(GET plugin 1 target)
    install(FILES $<TARGET_FILE:${target}> DESTINATION ${folder})
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E make_directory ${korvane_runtime_folder}/${folder}
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}>
                               ${korvane_runtime_folder}/${folder})
endforeach()
if(korvane_compiler_runtime)
    install(FILES ${korvane_compiler_runtime} DESTINATION .)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different ${korvane_compiler_runtime}
                               ${korvane_runtime_folder})
endif()
# The test programs' own library, in the build folder only.
list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::Test>
                           ${korvane_runtime_folder})
add_custom_target(korvane_runtime ALL ${copies} VERBATIM)
