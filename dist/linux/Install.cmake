# Desktop integration and the Debian package, for `cmake --install` and `cpack`: the desktop
# entry, the icon in the hicolor theme, the AppStream metainfo, bash completion, the manual pages
# of both programs, and the package's copyright file and changelog. Every version they name is the
# project's. Included from the top-level CMakeLists.txt on Linux.
include(GNUInstallDirs)

set(korvane_app_id net.korvane.KorvaneManager)
set(dist ${CMAKE_CURRENT_LIST_DIR})
set(generated ${CMAKE_CURRENT_BINARY_DIR}/dist/linux)
set(KORVANE_PACKAGE_MAINTAINER "Korvane Manager developers <packages@korvane.net>"
    CACHE STRING "The Maintainer field of the Debian package")

configure_file(${dist}/${korvane_app_id}.metainfo.xml.in ${generated}/${korvane_app_id}.metainfo.xml
               @ONLY)
configure_file(${dist}/korvane-cli.1 ${generated}/korvane-cli.1 @ONLY)
configure_file(${dist}/KorvaneMgr.1 ${generated}/KorvaneMgr.1 @ONLY)
configure_file(${dist}/changelog.in ${generated}/changelog @ONLY)

# Manual pages and the changelog are installed compressed, as Debian keeps them: gzip -9 without
# a name or time stamp, so that the same sources give the same bytes.
find_program(KORVANE_GZIP gzip REQUIRED)
set(compressed)
foreach(file korvane-cli.1 KorvaneMgr.1 changelog)
    add_custom_command(OUTPUT ${generated}/${file}.gz
                       COMMAND ${KORVANE_GZIP} -9nc ${generated}/${file} > ${generated}/${file}.gz
                       DEPENDS ${generated}/${file} VERBATIM)
    list(APPEND compressed ${generated}/${file}.gz)
endforeach()
add_custom_target(korvane_compressed_docs ALL DEPENDS ${compressed})

install(FILES ${dist}/${korvane_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/${korvane_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The PNG files are drawn by tools/drawicons.
foreach(size 16 32 48 64 128 256)
    install(FILES ${dist}/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${korvane_app_id}.png)
endforeach()
install(FILES ${dist}/korvane-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME korvane-cli)
install(FILES ${generated}/korvane-cli.1.gz ${generated}/KorvaneMgr.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${dist}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvane-manager)

# The Debian package: `./dev package`. Its dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane-manager)
set(CPACK_PACKAGE_VENDOR Vantor)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plug-in manager for the Korvane modification of Tribes")
# The extended description in lines of at most 80 characters, as dpkg shows them.
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane Manager keeps the plug-ins of the Korvane modification in a storage\n"
    "folder, puts the chosen ones in use, saves and loads sets of them, starts\n"
    "Tribes (under Wine, in the prefix that holds the game) and installs plug-in\n"
    "updates. korvane-cli does the same without a window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT ${KORVANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A tool for a game rather than a game: games go in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.korvane.net/")
# A Windows tribes.exe needs Wine; a game folder with a program of the platform does not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
include(CPack)
