#!/bin/sh
# An https server of another make than the program's TLS, for the tests: the build machine's
# Python serves the files of a folder (https_server.py) on a free loopback port.
#   https_server.sh start FOLDER CERTIFICATES PYTHON   serves FOLDER, its port in FOLDER/port
#   https_server.sh stop FOLDER
set -eu
folder=$2
case $1 in
start)
    certificates=$3
    python=$4
    script=$(cd "$(dirname "$0")" && pwd)/https_server.py
    rm -rf "$folder"
    mkdir -p "$folder"
    cp "$certificates/server.pem" "$certificates/server.key" "$folder/"
    cd "$folder"
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        port=$(( 20000 + $(od -An -N2 -tu2 /dev/urandom) % 40000 ))
        "$python" "$script" "$port" server.pem server.key </dev/null >server.log 2>&1 &
        echo $! >pid
        # Listening once it says ACCEPT; gone when the port was taken.
        for _ in $(seq 50); do
            if grep -q ACCEPT server.log; then
                echo "$port" >port
                exit 0
            fi
            kill -0 "$(cat pid)" 2>/dev/null || break
            sleep 0.1
        done
        kill "$(cat pid)" 2>/dev/null || true
    done
    echo "no port for the https server" >&2
    exit 1
    ;;
stop)
    if [ -f "$folder/pid" ]; then
        kill "$(cat "$folder/pid")" 2>/dev/null || true
    fi
    ;;
esac
