#!/usr/bin/env bash
# The installed bash completion of korvane-cli against plug-in keys that are shell syntax: each
# candidate is exactly what the shell is to insert, quoted so that it reads back as the key, and
# nothing of a name is run, globbed or expanded.
#   check_completion.sh <installed usr folder> <scratch folder>
# with HOME and XDG_CONFIG_HOME set to scratch folders.
# Names and candidates are shell syntax on purpose:
# shellcheck disable=SC2016
usr=$1 work=$2
export LC_ALL=C.UTF-8 PATH=$usr/bin:$PATH
failures=0

korvane="$work/with space/Korvane"
mkdir -p "$korvane/storage" "$korvane/plugins" "$work/cwd/sub dir"
: >"$korvane/korvane.cs"
# The scan takes no key with a control character and no empty one: those are never offered.
for name in '"q"' '$(touch PWNED)' '$HOME' '*' '`touch PWNED2`' 'a b' 'a:b' $'caf\xe9' "it's" \
    -rf .tmp $'tab\tkey' $'line\nbreak'; do
    printf '// %s\n' "$name" >"$korvane/storage/$name.cs"
done
# What a glob of the current folder would find, and files to complete.
: >"$work/cwd/GLOBBED"
: >"$work/cwd/my \"set\".pfg"
# The Korvane folder of the settings, as the window keeps it.
mkdir -p "$XDG_CONFIG_HOME/Vantor"
printf '[Directories]\nKorvane=%s/\n' "$korvane" >"$XDG_CONFIG_HOME/Vantor/KorvaneMgr.conf"
korvane-cli use 'a b' || { echo "FAIL: korvane-cli use 'a b'"; exit 1; }
cd "$work/cwd" || exit 1

# shellcheck disable=SC1091
source "$usr/share/bash-completion/completions/korvane-cli"

# expect LINE CANDIDATE...: completing at the end of LINE gives exactly these candidates.
expect() {
    local line=$1
    shift
    COMP_LINE=$line COMP_POINT=${#line}
    # Roughly as bash splits it; the completion reads COMP_LINE itself.
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _korvane_cli
    local same=$((${#COMPREPLY[@]} == $#)) i=0 want
    for want in "$@"; do
        [[ ${COMPREPLY[i]-} == "$want" ]] || same=0
        i=$((i + 1))
    done
    if ((!same)); then
        echo "FAIL: completion of [$line]"
        echo "  expected: ${*@Q}"
        echo "  got:      ${COMPREPLY[*]@Q}"
        failures=$((failures + 1))
    fi
}

# The Korvane folder of the settings: every key in scan order, but for one that starts with a
# dash, which needs -- before it.
expect "korvane-cli use " '\"q\"' '\$\(touch\ PWNED\)' '\$HOME' '\*' '\`touch\ PWNED2\`' 'a\ b' \
    'a:b' 'café' "it\\'s"
K="korvane-cli --korvane \"$korvane\""
expect "$K use a" 'a\ b' 'a:b'
expect "$K use \\\$" '\$\(touch\ PWNED\)' '\$HOME'
# After an open quote, readline inserts the rest inside it and closes it.
expect "$K use \"a" 'a b' 'a:b'
expect "$K use \"\\\$" '\$(touch PWNED)' '\$HOME'
expect "$K use 'it" "it'\\''s"
# Readline replaces what follows the last : of a word.
expect "$K use a:" 'b'
expect "$K use -" '--help'
expect "$K use -- -" '-rf'
expect "$K unuse " 'a\ b'
expect "$K describe \"a b\" " # one key only
# The Korvane folder however it is written.
expect "korvane-cli --korvane ${korvane// /\\ } use a\\ " 'a\ b'
expect "korvane-cli --korvane='$korvane' use it" "it\\'s"
expect "korvane-cli --korvane \"$work/with sp" "$work/with space/"
expect "korvane-cli --korvane ${work}/with\\ sp" "$work/with\\ space/"
# Files for the configuration commands; commands and options.
expect "korvane-cli save-config " 'GLOBBED' 'my\ \"set\".pfg' 'sub\ dir/'
expect "korvane-cli load-config my" 'my\ \"set\".pfg'
expect "korvane-cli l" 'list' 'load-config' 'launch'
expect "$K list --" '--in-use' '--json' '--help'
expect "$K conflicts -" '--json' '--help'
expect "$K install --" '--url' '--key' '--keep-mine' '--use-storage' '--include-held' '--help'
expect "$K hold a" 'a\ b' 'a:b'
expect "$K undo-load --u" '--use-storage'
expect "$K unuse --keep-mine " 'a\ b'

ran=$(find "$work" / -maxdepth 1 -name 'PWNED*' 2>/dev/null; find "$work" -name 'PWNED*')
if [[ -n $ran ]]; then
    echo "FAIL: a name was run: $ran"
    failures=$((failures + 1))
fi
exit $((failures > 0))
