# Tests of a Windows build made on Linux run under Wine: each test program through Wine's 64-bit
# loader, in a Wine prefix of the build folder's own (its registry is the profile the tests write),
# with Qt's Windows platform on the X display given in DISPLAY (./dev windows starts an Xvfb).
# Included from tests/CMakeLists.txt.

find_program(KORVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(KORVANE_WINESERVER NAMES wineserver PATHS /usr/lib/wine /usr/lib64/wine
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${KORVANE_WINE})

set(KORVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
# No Mono or Gecko installer asks to be run; messages of Wine's own stay out of the tests' output.
# The window system's plug-in is unaware of screen scaling, which Wine does not implement.
set(korvane_wine_environment
    "WINEPREFIX=${KORVANE_WINE_PREFIX}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml="
    "QT_QPA_PLATFORM=windows:dpiawareness=0")
# Qt Test's plain text goes to the debugger when no console is attached, as under Wine: TAP goes
# to standard output.
set(KORVANE_TEST_ARGUMENTS -o -,tap)
# The build folder as a Windows program finds it: Wine's drive Z: is the root of the file system.
set(KORVANE_HOST_DRIVE Z:)

# The prefix is made once before the first test, and its server runs until the last has ended
# (wine_end), so that no test waits for a server to start or the system processes to load.
file(MAKE_DIRECTORY ${KORVANE_WINE_PREFIX})
add_test(NAME wine_prefix
         COMMAND sh -c "\"$2\" -p </dev/null >/dev/null 2>&1; \"$1\" wineboot --init </dev/null >/dev/null 2>&1"
                 sh ${KORVANE_WINE} ${KORVANE_WINESERVER})
add_test(NAME wine_end COMMAND sh -c "\"$1\" -k || true" sh ${KORVANE_WINESERVER})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${korvane_wine_environment}")
set_tests_properties(wine_end PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${korvane_wine_environment}"
                                         WILL_FAIL FALSE)

# korvane_wine_test(<test>): the test runs in the build's prefix. A test that hangs under Wine
# (one that starts many threads at once did, about once in ten runs, never when run alone) ends
# well before the Linux tests' limit, so that ./dev windows can run it again.
function(korvane_wine_test name)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${korvane_wine_environment}"
                                            FIXTURES_REQUIRED wine TIMEOUT 120)
endfunction()
