#!/usr/bin/env python3
"""Kills korvane-cli (SIGKILL) at random moments while it changes a Korvane folder of a few
thousand plug-ins, and checks after every kill that each file is its old or its new self, whole;
that no file whose only copy was in the plugins folder is gone; that no temporary file is listed
as a plug-in; and that the next run completes.

usage: crash_safety.py KORVANE_CLI UPDLIST [--seed N] [--rounds N]
"""
import argparse
import os
import pathlib
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from scratch_korvane import serve_update, snapshot, write

PLUGINS = 1500  # stored plug-ins, one script each, every fourth with a description
CONFIG_SIZE = 600  # plug-ins each of the two configurations names
USE_SIZE = 200  # keys given to one use or unuse
RECORD = os.path.join("backups", "last-load.txt")  # names the backup of the last load


class Run:
    def __init__(self, cli, scratch, korvane):
        self.command = [cli, "--korvane", korvane]
        self.env = dict(os.environ, HOME=scratch, XDG_CONFIG_HOME=os.path.join(scratch, "config"))
        self.korvane = korvane

    def start(self, args):
        return subprocess.Popen(self.command + args, env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, cwd=self.korvane)

    def complete(self, args):
        process = self.start(args)
        out, err = process.communicate(timeout=120)
        if process.returncode != 0:
            sys.exit(f"FAIL: {' '.join(args)} exited {process.returncode}: {err.decode()}")
        return out.decode()


def build_korvane(root, rng):
    for i in range(PLUGINS):
        stem = os.path.join(root, "storage", f"cat{i % 10}", f"p{i}")
        write(stem + ".cs", f"// plug-in {i}\n" + "x" * rng.randrange(100, 3000))
        if i % 4 == 0:
            write(stem + ".desc.txt", f"Name=Plug-in {i}\r\nCategory=Weapon\r\n")
    os.makedirs(os.path.join(root, "plugins"))
    write(os.path.join(root, "korvane.cs"), "// the modification's own script\n")
    for name, start in (("a.pfg", 0), ("b.pfg", PLUGINS // 2)):
        write(os.path.join(root, name), f"Name={name}\r\nUseDirectory=TRUE\r\n" + "".join(
            f"Plugin=cat{i % 10}\\,p{i}\r\n" for i in range(start, start + CONFIG_SIZE)))


def check(label, before, killed, record, after, listed):
    problems = []
    for path, digest in killed.items():
        if path == RECORD:
            # The next run records a backup of its own: the record must name one that was there.
            backup = os.path.join("backups", record.decode(errors="replace").rstrip("\r\n"))
            if not record.endswith(b"\r\n") or backup not in killed:
                problems.append(f"{path} names no backup")
        elif digest not in (before.get(path), after.get(path)):
            problems.append(f"{path} is neither its old nor its new self")
    # A file of plugins that storage lacks, or holds with other bytes, is its only copy.
    for path, digest in before.items():
        stored = "storage" + path[len("plugins"):]
        if path.startswith("plugins" + os.sep) and before.get(stored) != digest \
                and digest not in (killed.get(path), killed.get(stored)):
            problems.append(f"{path} was the only copy and is gone")
    for path, digest in before.items():
        if path.startswith("storage" + os.sep) and path not in killed:
            problems.append(f"{path} left storage")
    for line in listed.splitlines():
        key = line.split("\t")[0]
        if key.startswith(".") or ".part" in key:
            problems.append(f"temporary file listed as the plug-in {key}")
    if problems:
        sys.exit(f"FAIL after a kill during {label}:\n  " + "\n  ".join(problems[:20]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("updlist")
    parser.add_argument("--seed", type=int, default=13)
    parser.add_argument("--rounds", type=int, default=8)
    options = parser.parse_args()
    rng = random.Random(options.seed)
    scratch = tempfile.mkdtemp(prefix="crash-safety-")
    try:
        korvane = os.path.join(scratch, "Korvane")
        build_korvane(korvane, rng)
        # An update of 150 files into storage.
        for i in range(150):
            write(os.path.join(scratch, "pack", "upd", f"u{i}.cs"), os.urandom(8192))
        list_url = serve_update(scratch, options.updlist, "1.0")
        run = Run(options.cli, scratch, korvane)
        keys = [f"p{i}" for i in range(PLUGINS)]
        extra = [0]

        def unuse_args():
            # Files of the plug-ins that only the plugins folder holds, which must reach storage.
            chosen = rng.sample(keys, USE_SIZE)
            for key in chosen[:20]:
                extra[0] += 1
                write(os.path.join(korvane, "plugins", f"cat{int(key[1:]) % 10}",
                                   f"{key}.note{extra[0]}.txt"), f"only here {extra[0]}")
            return ["unuse"] + chosen

        commands = {
            "load-config": lambda: ["load-config", rng.choice(["a.pfg", "b.pfg"])],
            "use": lambda: ["use"] + rng.sample(keys, USE_SIZE),
            "unuse": unuse_args,
            "describe": lambda: ["describe", rng.choice(keys), "--description",
                                 f"text {rng.random()}"],
            "save-config": lambda: ["save-config", os.path.join(korvane, "saved.pfg"),
                                    "--store-directory", "--name", f"n{rng.random()}"],
            "install": lambda: ["install", "0", "--url", list_url],
        }
        run.complete(["load-config", "a.pfg"])
        # How long each command takes whole, so that the kills fall inside its run.
        durations = {}
        for name, make in commands.items():
            started = time.monotonic()
            run.complete(make())
            durations[name] = time.monotonic() - started

        kills = landed = files_checked = 0
        for _ in range(options.rounds):
            for name, make in commands.items():
                args = make()
                before = snapshot(korvane)
                process = run.start(args)
                time.sleep(rng.uniform(0, durations[name]))
                if process.poll() is None:
                    landed += 1
                process.send_signal(signal.SIGKILL)
                process.communicate()
                kills += 1
                killed = snapshot(korvane)
                record = pathlib.Path(korvane, RECORD).read_bytes() if RECORD in killed else None
                listed = run.complete(["list"]) + run.complete(["list", "--in-use"])
                run.complete(args)  # the next run completes, over whatever the kill left
                after = snapshot(korvane)
                check(name, before, killed, record, after, listed)
                files_checked += len(killed)
        print(f"crash safety: seed {options.seed}, {kills} kills ({landed} during the run) over "
              f"{len(commands)} commands, {files_checked} files checked")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
