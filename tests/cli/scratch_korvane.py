"""What io_faults.py and crash_safety.py share: the files of a scratch Korvane folder as digests,
and an update served on a loopback web server."""
import hashlib
import http.server
import os
import subprocess
import threading

LOCK_FILE = ".korvanemgr.lock"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def snapshot(root):
    """Relative path -> content digest of every file below root but the program's temporary
    files and the lock."""
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            temporary = name.startswith(".") and name.endswith(".part")
            if not temporary and name != LOCK_FILE:
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    files[os.path.relpath(path, root)] = hashlib.sha1(f.read()).hexdigest()
    return files


def serve_update(root, updlist, version):
    """Serves root on a loopback web server, with the list root/list.upd of one update, Pack, of
    the files below root/pack into storage; returns the list's URL."""
    handler = lambda *a: http.server.SimpleHTTPRequestHandler(*a, directory=root)
    http.server.SimpleHTTPRequestHandler.log_message = lambda *a: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    description = os.path.join(root, "pack.txt")
    write(description, f"update = Pack\nversion = {version}\ntarget = storage\\\n"
                       f"url = {url}pack/\nfolder = pack\n")
    subprocess.run([updlist, "write", description, os.path.join(root, "list.upd")],
                   check=True, stdout=subprocess.DEVNULL)
    return url + "list.upd"
