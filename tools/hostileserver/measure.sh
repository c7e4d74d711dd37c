#!/usr/bin/env bash
# Peak memory and time of korvane-cli against bodies of no announced length (hostile_server.py).
#   tools/hostileserver/measure.sh [KORVANE_CLI] [SIZE_MIB]
# Runs in a scratch folder with scratch settings; prints one line per case.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../../build/release/cli/korvane-cli}
size=${2:-1536}
scratch=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; rm -rf "$scratch"' EXIT
mkdir -p "$scratch/Korvane/storage" "$scratch/Korvane/plugins" "$scratch/config" "$scratch/home"
echo "// the modification" >"$scratch/Korvane/korvane.cs"
coproc SERVER { exec python3 "$here/hostile_server.py" --size "$size"; }
server=$SERVER_PID
read -r port <&"${SERVER[0]}"
url=http://127.0.0.1:$port

run() {
    local name=$1; shift
    local status=0
    XDG_CONFIG_HOME=$scratch/config HOME=$scratch/home \
        /usr/bin/time -v -o "$scratch/time" "$cli" --korvane "$scratch/Korvane" "$@" \
        >"$scratch/out" 2>"$scratch/err" || status=$?
    local peak wall
    peak=$(awk -F': ' '/Maximum resident/ {print $2}' "$scratch/time")
    wall=$(awk -F': ' '/Elapsed \(wall/ {print $2}' "$scratch/time")
    printf '%-34s exit %d, peak %d MB, %s s: %s\n' "$name" "$status" $((peak / 1024)) "$wall" \
        "$(head -c 300 "$scratch/err" | tr '\n' ' ')"
}

run "chunked list, ${size} MiB" updates --url "$url/list.upd"
run "HTTP/1.0 list without length" updates --url "$url/http10.upd"
run "504-byte file, ${size} MiB chunked" install 0 --url "$url/file.upd"
leftovers=$(find "$scratch/Korvane" -type f ! -name korvane.cs | wc -l)
echo "files left in the Korvane folder: $leftovers"
