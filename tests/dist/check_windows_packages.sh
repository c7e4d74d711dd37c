#!/usr/bin/env bash
# Tries the Windows installer and zip as a player would, under Wine in a scratch prefix with an X
# server of its own:
#   check_windows_packages.sh <installer> <zip> <examples folder> <version> <wine> <wineserver> <cmake>
# The installer installs silently into the per-user default folder: the programs run there on a
# copy of the demo folders, the window opens from the Start-menu entry, and the uninstaller leaves
# nothing behind; installed into a folder of the player's choice that holds a file of theirs, it
# removes its own files only. The zip's programs run where it was unpacked. Both hold exactly the
# program's files.
set -euo pipefail
installer=$1 zip=$2 examples=$3 version=$4 wine=$5 wineserver=$6 cmake=$7
work=$(mktemp -d)
# Nothing of the user's: the prefix, its home folders and menu entries stay in the scratch folder.
export WINEPREFIX=$work/prefix HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
xvfb=
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
started=$SECONDS

# Wine lets every program do what an administrator may: the installer's manifest is what asks
# Windows for no elevation.
grep -qa 'requestedExecutionLevel level="asInvoker"' "$installer" ||
    fail "the installer asks for administrator rights"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY

# wine <program> <arguments...>: its output without Windows' line ends.
run() { "$wine" "$@" | tr -d '\r'; }
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w
drive_c=$WINEPREFIX/drive_c
local_appdata=$(run cmd /c echo %LOCALAPPDATA%)
unix_path() { run winepath -u "$1"; }

# What both packages hold, and nothing else.
program_files=(KorvaneMgr.exe korvane-cli.exe Qt6Core.dll Qt6Gui.dll Qt6Network.dll Qt6Widgets.dll
               libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libgcrypt-20.dll
               libgpg-error-0.dll platforms/qwindows.dll
               styles/qwindowsvistastyle.dll tls/qschannelbackend.dll imageformats/qico.dll
               licenses/ThirdPartyNotices.txt licenses/Qt.txt licenses/LGPL-3.txt
               licenses/GPL-3.txt licenses/GCC-runtime.txt licenses/MinGW-w64.txt
               licenses/libgcrypt.txt licenses/libgpg-error.txt licenses/LGPL-2.1.txt)
holds_exactly() { # <folder> <what> <files...>
    local folder=$1 what=$2
    shift 2
    diff <(printf '%s\n' "$@" | sort) <(cd "$folder" && find . -type f | sed 's|^\./||' | sort) ||
        fail "$what holds other files than the program's (< expected, > found)"
}

listing() { (cd "$drive_c" && find . | sort); }
registry_names() { grep -iF -e "$1" "$WINEPREFIX"/*.reg || true; }
reg_value() { run reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z]* *//p"; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KorvaneManager'

# The demo folders, and a profile that names them, as a player's would.
cp -r "$examples/Korvane" "$drive_c/Korvane"
cp -r "$examples/Tribes" "$drive_c/Tribes"
run reg add 'HKCU\Software\Vantor\KorvaneMgr\Directories' /v Korvane /d "C:\\Korvane\\" /f >/dev/null
run reg add 'HKCU\Software\Vantor\KorvaneMgr\Directories' /v Tribes /d "C:\\Tribes\\" /f >/dev/null
"$wineserver" -w
before=$(listing)

echo "== Silent install into the per-user folder"
run "$installer" /S || fail "the silent install failed"
folder="$local_appdata\\Programs\\Korvane Manager"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$folder" ] ||
    fail "Apps & features names another folder: $(reg_value "$uninstall_key" InstallLocation)"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "the version in Apps & features"
[ "$(reg_value "$uninstall_key" QuietUninstallString)" = "\"$folder\\uninstall.exe\" /S" ] ||
    fail "the quiet uninstall command: $(reg_value "$uninstall_key" QuietUninstallString)"
installed=$(unix_path "$folder")
holds_exactly "$installed" "the installed folder" "${program_files[@]}" uninstall.exe
shortcut="$(run cmd /c echo %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs\\Korvane Manager.lnk"
[ -f "$(unix_path "$shortcut")" ] || fail "no Start-menu entry $shortcut"

cli() { run "$folder\\korvane-cli.exe" "$@"; }
[ "$(cli --version)" = "korvane-cli $version" ] || fail "korvane-cli --version: $(cli --version)"
[ "$(run "$folder\\KorvaneMgr.exe" --version)" = "Korvane Manager $version" ] ||
    fail "KorvaneMgr --version"

# The installed korvane-cli reads the demo folder the profile names; what its commands do is
# tst_Cli*'s concern, which run the same program under Wine.
echo "== The installed korvane-cli on the demo folder"
listed=$(cli list)
grep -q $'^blaster\tBlaster Tweaks\tWeapon\t.*\tno$' <<<"$listed" || fail "list: $listed"

echo "== The window, opened from the Start menu"
run start "$shortcut" || fail "the Start-menu entry did not start"
window=
for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --name "^Korvane Manager v$version\$" 2>/dev/null | head -n1) &&
        [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || fail "no window of Korvane Manager $version appeared within 60 s"
run taskkill /im KorvaneMgr.exe >/dev/null || fail "the window could not be asked to close"
"$wineserver" -w
[ -z "$(xdotool search --onlyvisible --name '^Korvane Manager' 2>/dev/null)" ] ||
    fail "the window stayed open"

echo "== Silent uninstall"
run "$folder\\uninstall.exe" /S || fail "the silent uninstall failed"
# The uninstaller runs from a copy in the temporary folder: wait for it.
"$wineserver" -w
[ ! -e "$installed" ] || fail "the uninstall left $(find "$installed")"
run reg query "$uninstall_key" >/dev/null 2>&1 && fail "the entry in Apps & features stayed"
[ -z "$(registry_names 'Korvane Manager')" ] ||
    fail "the registry still names the program: $(registry_names 'Korvane Manager')"
# What may differ: the demo session's files, the uninstaller's copy in the temporary folder, and
# the per-user programs folder, which Windows keeps for every program installed per user.
left=$(diff <(echo "$before") <(listing) | grep '^[<>]' |
       grep -v -e '^[<>] \./Korvane/' -e '^> \./users/[^/]*/Temp/' \
               -e '^> \./users/[^/]*/AppData/Local/Programs$' || true)
[ -z "$left" ] || fail "the install and uninstall changed these files and folders:"$'\n'"$left"
[ "$(reg_value 'HKCU\Software\Vantor\KorvaneMgr\Directories' Korvane)" = "C:\\Korvane\\" ] ||
    fail "the uninstall removed the player's settings"

echo "== Silent install into a folder of the player's that holds a file of theirs"
mkdir -p "$drive_c/Games/Korvane Manager"
echo "my notes" >"$drive_c/Games/Korvane Manager/notes.txt"
# /D= takes the rest of the command line, unquoted: Wine would quote one argument with a blank.
run "$installer" /S '/D=C:\Games\Korvane' Manager || fail "the silent install with /D failed"
holds_exactly "$drive_c/Games/Korvane Manager" "the chosen folder" "${program_files[@]}" \
    uninstall.exe notes.txt
[ "$(run 'C:\Games\Korvane Manager\korvane-cli.exe' --version)" = "korvane-cli $version" ] ||
    fail "korvane-cli --version in the chosen folder"
quiet=$(reg_value "$uninstall_key" QuietUninstallString)
[[ $quiet =~ ^\"([^\"]+)\"\ /S$ ]] || fail "the quiet uninstall command: $quiet"
run "${BASH_REMATCH[1]}" /S || fail "the quiet uninstall command failed"
"$wineserver" -w
holds_exactly "$drive_c/Games/Korvane Manager" "the chosen folder after the uninstall" notes.txt
run reg query "$uninstall_key" >/dev/null 2>&1 && fail "the entry in Apps & features stayed"

echo "== The zip"
mkdir "$drive_c/Portable"
(cd "$drive_c/Portable" && "$cmake" -E tar xf "$zip") || fail "the zip does not unpack"
unpacked=("$drive_c"/Portable/*)
if [ ${#unpacked[@]} -ne 1 ] || [ ! -d "${unpacked[0]}" ]; then
    fail "the zip holds more than one folder"
fi
holds_exactly "${unpacked[0]}" "the zip" "${program_files[@]}"
portable="C:\\Portable\\${unpacked[0]##*/}"
[ "$(run "$portable\\korvane-cli.exe" --version)" = "korvane-cli $version" ] ||
    fail "korvane-cli --version from the zip"
[ "$(run "$portable\\KorvaneMgr.exe" --version)" = "Korvane Manager $version" ] ||
    fail "KorvaneMgr --version from the zip"
listed=$(run "$portable\\korvane-cli.exe" list --in-use)
grep -q $'^sniper\t' <<<"$listed" || fail "korvane-cli list --in-use from the zip: $listed"

size() { echo "$(($(stat -c %s "$1") / 1024)) KiB"; }
echo "Installer: ${installer##*/}, $(size "$installer")"
echo "Zip: ${zip##*/}, $(size "$zip")"
echo "Tried in $((SECONDS - started)) s"
