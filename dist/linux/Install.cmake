# Desktop integration and the Debian package, for `cmake --install` and `cpack`: the desktop
# entry, the icon in the hicolor theme, the AppStream metainfo, bash completion and the man page
# of korvane-cli. Included from the top-level CMakeLists.txt on Linux.
include(GNUInstallDirs)

set(korvane_app_id net.korvane.KorvaneManager)
set(dist ${CMAKE_CURRENT_LIST_DIR})
set(generated ${CMAKE_CURRENT_BINARY_DIR}/dist/linux)

configure_file(${dist}/${korvane_app_id}.metainfo.xml.in ${generated}/${korvane_app_id}.metainfo.xml
               @ONLY)
configure_file(${dist}/korvane-cli.1 ${generated}/korvane-cli.1 @ONLY)

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
install(FILES ${generated}/korvane-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: `./dev package`. Its dependencies come from dpkg-shlibdeps.
set(KORVANE_PACKAGE_MAINTAINER "Korvane Manager developers <packages@korvane.net>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane-manager)
set(CPACK_PACKAGE_VENDOR Vantor)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plug-in manager for the Korvane modification of Tribes")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane Manager keeps the plug-ins of the Korvane modification in a storage folder, puts\n"
    "the chosen ones in use, saves and loads sets of them, starts Tribes (under Wine, in the\n"
    "prefix that holds the game) and installs plug-in updates. korvane-cli does the same\n"
    "without a window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT ${KORVANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.korvane.net/")
# A Windows tribes.exe needs Wine; a game folder with a program of the platform does not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
include(CPack)
