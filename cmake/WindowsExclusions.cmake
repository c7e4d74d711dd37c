# What the Windows build leaves out: the one list of tests, test cases (program::case) and data
# rows (program::case:row) that cannot apply on Windows, each with the reason. Every other test
# runs there as on Linux. (No ';' in a reason: it would split the list.)
set(korvane_not_on_windows
    "layers" "reads the sources, the same on every system: the Linux build runs it"
    "tst_Package" "the Debian package"
    "bench_*" "the benchmarks time and measure child processes with POSIX calls (posix_spawn, wait4)"
    "tst_UpdateList::onlyTheListThePinnedKeySignedIsTaken" "signs while it runs with the build machine's minisign, which a Windows program under Wine cannot start: tst_Minisign checks the same kinds of signature, made when the tests are built"
    "tst_UpdateList::theSourceRemembersTheNewestListItTook" "as above"
    "tst_UpdateList::anHttpsListsFilesComeOverPlainHttpOnlyWhenSigned" "as above"
    "tst_UpdateInstall::onlyFilesThePinnedKeySignedArePutInPlace" "as above"
    "tst_CliUpdates::aPinnedKeyTakesOnlyWhatItSigned" "as above"
    "tst_IoErrors" "fails chosen file-system calls by wrapping the C library's, as a POSIX dynamic linker lets a program do"
    "tst_InstallIoErrors" "as above"
    "tst_FileFaults::anUnreadableFolderIsNamedByTheScan" "as above (IoFault)"
    "tst_FileFaults::anUnreadableDescriptionIsNamedByTheScan" "as above (IoFault)"
    "tst_FileFaults::aCopyInUseIsComparedWithStoragesInBlocks" "as above (IoFault)"
    "tst_FileFaults::aFolderListedInPartChangesNothing" "as above (IoFault)"
    "tst_FileFaults::anUndoThatFailsIsUndoneAgainByTheNext" "as above (IoFault)"
    "tst_FileFaults::aDescriptionThatCannotBeReadIsNotReplaced" "as above (IoFault)"
    "tst_FileFaults::aLoadWhoseBackupIsNotRecordedChangesNothing" "as above (IoFault)"
    "tst_SettleCopies::anUndoThatCannotPutACopyBackIsTriedAgain" "as above (IoFault)"
    "tst_FunctionClashes::anUnreadableScriptIsNamed" "as above (IoFault)"
    "tst_SettleCopies::aCopyThatCannotBeSetAsideIsNotReplaced" "as above (IoFault)"
    "tst_ManagerDlg::aDescriptionThatCannotBeReadIsToldWhileItLasts" "as above (IoFault)"
    "tst_CrashSafety" "kills with SIGKILL from Python at random moments (tst_CliUpdates kills with TerminateProcess)"
    "tst_GameCommandLine::gameStartsThroughTheWineCommandInItsPrefix" "Wine is how Linux runs a Windows tribes.exe: Windows starts it directly (tst_LaunchTribes)"
    "tst_GameCommandLine::gameRunsInThePrefixThatHoldsIt" "as above"
    "tst_PluginScan::linksToFilesAreScripts" "symbolic links: QFile::link makes a shell shortcut (.lnk) on Windows, an ordinary file"
    "tst_FileOperations::aFileThatIsItsOwnCopyIsNeverDeleted" "as above"
    "tst_AtomicWrite::anAtomicWriteRespectsTheFileItReplaces" "symbolic links and POSIX modes: Windows keeps the read-only attribute, which anAtomicReplaceKeepsTheAttributes shows"
    "tst_PluginScan::aScriptWithoutAUsableKeyIsNoPlugin" "a POSIX file name is any bytes (control characters, no UTF-8), a Windows one UTF-16 without control characters"
    "tst_FileOperations::oddNamesAreTheirOwnFilesOnly:star" "Windows allows no '*' or '?' in a file name"
    "tst_DescriptionFile::theFileReadIsTheFileWritten" "two names that differ only in letter case cannot both exist on Windows"
    "tst_FolderLock::aLockFileThatCannotBeCreatedIsNamedWithItsReason" "a folder the user may not write is a POSIX mode (/sys): Windows keeps such rights in access lists, which Wine does not enforce"
    "tst_Dialogs::eachOptionsBrowserTellsWhetherTheFolderPasses:Wine prefix" "Options have no Wine settings on Windows"
    "tst_ConfigFile::aLoadThatCouldNotCopyEveryPluginSaysWhich" "a full disk is a file-size limit (RLIMIT_FSIZE), which Windows lacks"
    "tst_ConfigFile::failedSaveLeavesTheOldFile" "as above"
    "tst_DescriptionFile::failedWriteKeepsTheOldFileAndTheRecord" "as above"
    "tst_CliPlugins::keysAreTakenAsListPrintsThem" "file names of single bytes beyond UTF-8, and names told apart only by the case of a letter beyond A to Z, exist on POSIX systems only (namesBeyondAsciiAndLongPathsWorkThroughout runs everywhere)"
    "tst_ManagerDlg::optionsStoreEachChangeAndReloadOnlyFromAnotherKorvaneFolder:storage cannot be created" "storage is a symbolic link that leads nowhere"
    "tst_CliPlugins::failuresSayWhy:sync" "as above"
    "tst_HttpClient::redirectsCertificatesAndStalls:http to https" "the loopback server speaks https through Schannel, which under Wine connects but does not serve (tst_UpdateList::aListComesOverHttpsFromAnotherServer shows Schannel fetching)"
    "tst_HttpClient::redirectsCertificatesAndStalls:https to http" "as above"
    "tst_HttpClient::redirectsCertificatesAndStalls:https with an untrusted certificate" "as above"
    "tst_ManagerDlg::commandsThatCannotRunSayWhyAndChangeNothing:>> into a plugins folder that is a file" "the test replaces the plugins folder with a file while the window watches it: Windows keeps a watched folder until the watch ends"
    "tst_ManagerDlg::commandsThatCannotRunSayWhyAndChangeNothing:<< with storage a file" "as above"
    "tst_ManagerDlg::commandsThatCannotRunSayWhyAndChangeNothing:description in a storage that is a file" "as above"
    "tst_CliPlugins::saveConfigReadsAFolderItCannotLock" "a folder the user may read but not write is a POSIX mode: Windows keeps such rights in access lists, which Wine does not enforce"
)

# Each entry is a name and its reason: a name out of step is a reason that held a ';'.
set(list ${korvane_not_on_windows})
while(list)
    list(POP_FRONT list entry why)
    if(NOT entry MATCHES "^[A-Za-z0-9_*]+(::[A-Za-z0-9_]+(:.+)?)?$")
        message(FATAL_ERROR "korvane_not_on_windows is out of step at \"${entry}\"")
    endif()
endwhile()

# korvane_applies(<test> <out>): whether the test runs in this build.
function(korvane_applies name out)
    set(applies TRUE)
    if(WIN32)
        set(list ${korvane_not_on_windows})
        while(list)
            list(POP_FRONT list pattern why)
            string(REPLACE "*" ".*" pattern "${pattern}")
            if(NOT pattern MATCHES "::" AND name MATCHES "^${pattern}$")
                set(applies FALSE)
            endif()
        endwhile()
    endif()
    set(${out} ${applies} PARENT_SCOPE)
endfunction()

# korvane_excluded_cases(<program> <out>): the cases of the program that do not run in this build.
function(korvane_excluded_cases program out)
    set(cases)
    if(WIN32)
        set(list ${korvane_not_on_windows})
        while(list)
            list(POP_FRONT list entry why)
            if(entry MATCHES "^${program}::(.+)$")
                list(APPEND cases ${CMAKE_MATCH_1})
            endif()
        endwhile()
    endif()
    set(${out} ${cases} PARENT_SCOPE)
endfunction()
