#!/usr/bin/env bash
# Builds the .deb of a build tree, extracts it into a scratch folder and checks what it installs:
#   check_package.sh <build folder> <source folder> <version>
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
debs=("$work"/out/korvane-manager_"$version"*_*.deb)
[ -f "${debs[0]}" ] || fail "no korvane-manager_$version*.deb in $(ls "$work/out")"
deb=${debs[0]}
echo "Package: ${deb##*/}"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6' || fail "the Depends line names no Qt library"

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
id=net.korvane.KorvaneManager
expected=(bin/KorvaneMgr bin/korvane-cli share/applications/$id.desktop
          share/metainfo/$id.metainfo.xml share/bash-completion/completions/korvane-cli
          share/man/man1/korvane-cli.1.gz share/man/man1/KorvaneMgr.1.gz
          share/doc/korvane-manager/copyright share/doc/korvane-manager/changelog.gz)
for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$usr/${expected[-1]}")
    [ $(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3)) -eq "$size" ] &&
        [ $(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3)) -eq "$size" ] ||
        fail "the ${size}x$size icon is not $size pixels square"
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$usr" && find . -type f | sed 's|^\./||' | sort) ||
    fail "the package installs other files than expected (< expected, > installed)"

# Debian's own checks: no error and no warning.
command -v lintian >/dev/null || fail "lintian is not installed (./dev installs it)"
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log" >&2; fail "lintian"; }

# One version everywhere: the project's.
cli=$usr/bin/korvane-cli
[ "$("$cli" --version)" = "korvane-cli $version" ] || fail "korvane-cli --version: $("$cli" --version)"
[ "$("$usr/bin/KorvaneMgr" --version)" = "Korvane Manager $version" ] || fail "KorvaneMgr --version"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version"
first_line() { zcat "$1" | sed -n 1p; }
for page in korvane-cli KorvaneMgr; do
    [[ $(first_line "$usr/share/man/man1/$page.1.gz") == *"\"Korvane Manager $version\""* ]] ||
        fail "the version of the $page manual page"
done
[[ $(first_line "$usr/share/doc/korvane-manager/changelog.gz") == "korvane-manager ($version) "* ]] ||
    fail "the version of the changelog"
grep -qF "<release version=\"$version\"" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the version of the AppStream metainfo"

# A scratch Korvane folder and settings location: nothing of the user's is read.
cp -r "$source/examples/Korvane" "$work/Korvane"
export HOME=$work/home XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME"
"$cli" --korvane "$work/Korvane" list >"$work/list.txt" || fail "korvane-cli list failed"
grep -q $'^blaster\t' "$work/list.txt" || fail "korvane-cli list did not list blaster: $(cat "$work/list.txt")"

# The completion, with plug-in keys that are shell syntax.
bash --norc --noprofile "$source/tests/dist/check_completion.sh" "$usr" "$work/completion" ||
    fail "the bash completion"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop-file-validate"
fi
grep -q '^Categories=.*Game;' "$usr/share/applications/$id.desktop" || fail "Categories lack Game"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 ||
        { cat "$work/as.log" >&2; fail "appstreamcli validate"; }
fi
if command -v groff >/dev/null; then
    for page in korvane-cli KorvaneMgr; do
        [ -z "$(zcat "$usr/share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)" ] ||
            fail "warnings in the $page manual page"
    done
fi
echo "Installed files:"
printf '  /usr/%s\n' "${expected[@]}"
