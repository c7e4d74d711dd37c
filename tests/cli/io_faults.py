#!/usr/bin/env python3
"""Makes each file-system call of every file-changing korvane-cli command fail in turn, the way a
disk that goes bad (EIO) or fills up (ENOSPC) would, and checks the folder each time.

Each command first runs once on a fresh scratch Korvane folder with the fault library counting its
calls on that folder's files. Then, for each call, it runs on another fresh copy with that call
failing with EIO, and once more with ENOSPC when the call creates, writes, flushes, links or
renames; then again without a fault. With --most N, a command of more calls has N of them fail:
every call that changes the disk (creates, writes, flushes, closes a written file, copies, links,
renames, removes, makes a folder or sets a mode) and an even spread of the others (opens for
reading, reads, listings, looks), or an even spread of the changing ones alone when they are more
than N. After each faulted run:
- every file of storage and plugins is still whole in storage, in plugins or set aside in a folder
  of backups (its old bytes, or, for a command that replaces files, the new bytes it gives
  them), and every backup is still there unless the command succeeded;
- no file outside the program's temporary names holds anything but its old or its new bytes
  (those of its namesake on the other side, too, for a file of storage or plugins), and each file
  set aside is a whole copy of one of them;
- the command exited 0 only when the folder is as the fault-free run leaves it, and not after a
  flush (or the close of a written file) failed, else 1 with a reason on standard error;
- after a failure, the fault-free retry exits 0 and leaves the folder as the fault-free run does.
It prints, per command, its calls, the faults injected, how many of them made it fail (exit 1) and
how many ended cleanly.

usage: io_faults.py KORVANE_CLI UPDLIST FAULT_LIBRARY [--most N] [--only COMMAND] [--preload LIB]
"""
import argparse
import concurrent.futures
import errno
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from scratch_korvane import LOCK_FILE, serve_update, snapshot, write

# Calls that change the disk: the ones that can run out of space, and all that matter most.
SPACE_KINDS = {"open+w", "write", "sync", "close+w", "copy", "mkdir", "link", "rename"}
CHANGING_KINDS = SPACE_KINDS | {"unlink", "rmdir", "chmod"}
# A failure the folder cannot show: the bytes are there, but may not be on the disk.
FLUSH_KINDS = {"sync", "close+w"}


def backup_text(root, relative):
    """A backup without its name line, which holds the time it was made."""
    with open(os.path.join(root, relative), "rb") as f:
        lines = f.read().split(b"\r\n")
    return b"\r\n".join(line for line in lines if not line.startswith(b"Name="))


JOURNAL = os.path.join("Korvane", "backups", "updates-in-progress.txt")
SIDES = ("storage", "plugins")


def is_backup(relative):
    return relative.startswith("Korvane" + os.sep + "backups" + os.sep) and \
        relative.endswith(".pfg")


def set_aside(relative):
    """(side, path below it) of a file a settlement set aside in a folder of backups
    (Korvane/backups/STEM/plugins/... or .../storage/...), else None."""
    parts = relative.split(os.sep)
    if len(parts) > 4 and parts[:2] == ["Korvane", "backups"] and parts[3] in SIDES:
        return parts[3], os.sep.join(parts[4:])
    return None


def twins(relative):
    """The path and, for a file of storage or plugins, the same path on the other side."""
    for top in SIDES:
        prefix = os.path.join("Korvane", top) + os.sep
        if relative.startswith(prefix):
            return [os.path.join("Korvane", side, relative[len(prefix):]) for side in SIDES]
    return [relative]


def comparable(root, files):
    """The state to compare between runs: backups and files set aside by their contents, whatever
    their folders' names."""
    # A journal of copies in use that still names copies refreshed whole is harmless: it only
    # tells the updater's bytes from the player's.
    plain = {path: digest for path, digest in files.items()
             if not is_backup(path) and not set_aside(path) and path != JOURNAL}
    backups = sorted(backup_text(root, path) for path in files if is_backup(path))
    backups += sorted(f"{os.sep.join(set_aside(path))}={digest}".encode()
                      for path, digest in files.items() if set_aside(path))
    return plain, backups


def complete(state, ok):
    """Whether a folder holds what the fault-free run leaves. A backup more is no harm: a failed
    run may have made one that its retry made again, and one that could not be removed stays."""
    plain, backups = state
    return plain == ok[0] and all(b in backups for b in ok[1])


def build_korvane(root):
    k = os.path.join(root, "Korvane")
    write(os.path.join(k, "korvane.cs"), "// the modification\n")
    storage = os.path.join(k, "storage")
    write(os.path.join(storage, "weapons", "sniper.cs"), "// sniper 1\n")
    write(os.path.join(storage, "weapons", "sniper.desc.txt"),
          "Name=Sniper\r\nCategory=Weapon\r\nVersion=2\r\nA long shot.\r\n")
    write(os.path.join(storage, "weapons", "sniper.ico"), b"\0\0\1\0icon")
    write(os.path.join(storage, "armor.cs"), "// armor\n")
    write(os.path.join(storage, "armor.desc.txt"), "Name=Armor\r\nCategory=Armor\r\n")
    write(os.path.join(storage, "deploy", "turret.cs"), "// turret\n")
    write(os.path.join(storage, "misc.cs"), "// misc\n")
    plugins = os.path.join(k, "plugins")
    write(os.path.join(plugins, "weapons", "sniper.cs"), "// sniper 1\n")
    write(os.path.join(plugins, "armor.cs"), "// armor\n")
    write(os.path.join(plugins, "armor.extra.txt"), "only in plugins\n")  # its only copy
    write(os.path.join(plugins, "local.cs"), "// only in plugins\n")  # its only copy
    for name, use_directory, entries in (
            ("a.pfg", "TRUE", ["weapons\\,sniper", "deploy\\,turret", ",misc"]),
            ("b.pfg", "FALSE", ["NULL,armor", "NULL,misc", "NULL,local"])):
        lines = [f"Name={name}", f"UseDirectory={use_directory}"] + \
            [f"Plugin={entry}" for entry in entries]
        write(os.path.join(root, name), "\r\n".join(lines) + "\r\n")
    write(os.path.join(root, "saved.pfg"), "Name=old\r\nUseDirectory=FALSE\r\n")


class Runner:
    def __init__(self, cli, library, preload, scratch):
        self.cli = cli
        self.library = library
        self.preload = preload
        self.scratch = scratch
        self.runs = 0
        self.lock = threading.Lock()

    def run(self, root, args, fault=None, log=None):
        """Runs the tool on root's Korvane folder; fault is (call number, errno) or None."""
        env = dict(os.environ, HOME=self.scratch,
                   XDG_CONFIG_HOME=os.path.join(self.scratch, "config"),
                   KORVANE_FAULT_ROOT=root,
                   LD_PRELOAD=" ".join(filter(None, [self.preload, self.library])))
        for name in ("KORVANE_FAULT_AT", "KORVANE_FAULT_ERRNO", "KORVANE_FAULT_LOG"):
            env.pop(name, None)
        if fault:
            env["KORVANE_FAULT_AT"] = str(fault[0])
            env["KORVANE_FAULT_ERRNO"] = str(fault[1])
        if log:
            env["KORVANE_FAULT_LOG"] = log
        with self.lock:
            self.runs += 1
        process = subprocess.run([self.cli, "--korvane", os.path.join(root, "Korvane")] + args,
                                 env=env, cwd=root, capture_output=True, timeout=60)
        return process.returncode, process.stderr.decode(errors="replace")


class Command:
    def __init__(self, label, args, template, replaces=False):
        self.label = label
        self.args = args
        self.template = template  # the folder each run starts from a copy of
        # Whether it replaces files' bytes with others of its own (a description, an update):
        # else every file's old bytes must stay whole somewhere.
        self.replaces = replaces

    def fresh(self, scratch):
        """A copy of the template in a folder of its own below scratch."""
        root = tempfile.mkdtemp(prefix="run-", dir=scratch)
        shutil.copytree(self.template, root, symlinks=True, dirs_exist_ok=True)
        return root


def fault_of(log):
    """The kind and the path of the call that failed, or None."""
    with open(log) as f:
        for line in f:
            if line.startswith("FAULT\t"):
                return line.rstrip("\n").split("\t")[1:3]
    return None


def count_calls(runner, command, scratch):
    """The kinds of the command's calls in order, and the state it leaves without a fault."""
    root = command.fresh(scratch)
    log = os.path.join(scratch, os.path.basename(root) + ".log")
    status, err = runner.run(root, command.args, log=log)
    if status != 0:
        sys.exit(f"FAIL: {command.label} without a fault exited {status}: {err}")
    with open(log) as f:
        kinds = [line.split("\t")[0] for line in f.read().splitlines()]
    os.remove(log)
    files, _ = snapshot(root)
    ok = comparable(root, files)
    shutil.rmtree(root)
    return kinds, ok


def run_with_fault(runner, command, ok, scratch, number, code):
    """Runs the command with one call failing, and the retry; (exit status, error output,
    problems)."""
    root = command.fresh(scratch)
    log = os.path.join(scratch, os.path.basename(root) + ".log")
    try:
        before, _ = snapshot(root)
        status, err = runner.run(root, command.args, fault=(number, code), log=log)
        problems = check(command, before, ok, root, status, err)
        injected = fault_of(log)
        if status == 0 and injected and injected[0] in FLUSH_KINDS \
                and not injected[1].endswith(LOCK_FILE):
            problems.append(f"exit 0 though {injected[1]} may not be on the disk")
        # After a success there is nothing to complete (and a second undo-load would undo the
        # first).
        if status != 0:
            retry_status, retry_err = runner.run(root, command.args)
            retried, _ = snapshot(root)
            if retry_status != 0:
                problems.append(f"the retry exited {retry_status}: {retry_err.strip()}")
            elif not complete(comparable(root, retried), ok):
                problems.append("the retry did not complete the command")
        return status, err, problems
    finally:
        shutil.rmtree(root, ignore_errors=True)
        if os.path.exists(log):
            os.remove(log)


def chosen_calls(kinds, most):
    """Every call that changes the disk and an even spread of the others, at most `most` in all
    (when more change the disk, an even spread of those)."""
    changing = [i for i, kind in enumerate(kinds, 1) if kind in CHANGING_KINDS]
    others = [i for i, kind in enumerate(kinds, 1) if kind not in CHANGING_KINDS]
    if len(changing) >= most:
        return spread(changing, most)
    return sorted(changing + spread(others, most - len(changing)))


def spread(items, count):
    if count >= len(items):
        return list(items)
    return [items[(i * len(items)) // count] for i in range(count)]


def check(command, before, ok, root, status, err):
    """The problems the folder shows after a run that had a fault."""
    files, _ = snapshot(root)
    ok_files = ok[0]
    problems = []
    # Below each side's path: the digests of the files set aside for it, in any folder of backups.
    aside = {}
    for path, digest in files.items():
        if set_aside(path):
            aside.setdefault(set_aside(path)[1], set()).add(digest)
    for path, digest in before.items():
        for top in SIDES:
            prefix = os.path.join("Korvane", top) + os.sep
            if not path.startswith(prefix):
                continue
            rest = path[len(prefix):]
            places = [os.path.join("Korvane", place, rest) for place in SIDES]
            good = {digest} if not command.replaces else \
                {digest} | {ok_files[p] for p in places if p in ok_files}
            if not any(files.get(p) in good for p in places) and not good & aside.get(rest, set()):
                problems.append(f"{path} is whole nowhere")
    for path, digest in files.items():
        if set_aside(path):
            # A whole copy of what either side held before the run or holds after it.
            side, rest = set_aside(path)
            places = [os.path.join("Korvane", place, rest) for place in SIDES]
            made = {b.rpartition(b"=")[2].decode() for b in ok[1]
                    if b.startswith(os.path.join(side, rest).encode() + b"=")}
            if digest not in {before.get(p) for p in places} | {ok_files.get(p) for p in places} \
                    | made:
                problems.append(f"{path} is no whole copy")
        elif is_backup(path):
            if not backup_text(root, path).endswith(b"\r\n"):
                problems.append(f"{path} is a backup cut short")
        elif path == JOURNAL:
            with open(os.path.join(root, path), "rb") as f:
                lines = f.read().split(b"\n")
            if lines[-1] or not all(len(line.split(b"\t")[0]) == 64 for line in lines[:-1]):
                problems.append(f"{path} is cut short")
        elif digest not in {before.get(p) for p in twins(path)} | \
                {ok_files.get(p) for p in twins(path)}:
            # A file of one side may hold the other's bytes midway: a script copied in use, or a
            # copy settled before the command could end. That no bytes are lost is checked above.
            problems.append(f"{path} is neither its old nor its new self")
    if status not in (0, 1):
        problems.append(f"exit status {status}: {err.strip()[-300:]}")
    elif status == 0 and not complete(comparable(root, files), ok):
        problems.append("exit 0 although the folder is not as the command leaves it")
    elif status == 1 and not err.strip():
        problems.append("exit 1 without a reason")
    if status != 0:
        kept = [p for p in files if is_backup(p)]
        kept_texts = {backup_text(root, p) for p in kept}
        for path in before:
            if is_backup(path) and backup_text(command.template, path) not in kept_texts:
                problems.append(f"{path} went although the command failed")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("updlist")
    parser.add_argument("library")
    parser.add_argument("--most", type=int, default=120,
                        help="most calls failed per command (more are sampled evenly)")
    parser.add_argument("--only", help="run only the command of this label")
    parser.add_argument("--preload", help="a library to preload before the fault library")
    parser.add_argument("--jobs", type=int, default=2, help="runs at once")
    options = parser.parse_args()
    # The tool runs in each scratch folder.
    for name in ("cli", "updlist", "library", "preload"):
        if getattr(options, name):
            setattr(options, name, os.path.abspath(getattr(options, name)))
    scratch = tempfile.mkdtemp(prefix="io-faults-")
    started = time.monotonic()
    try:
        base = os.path.join(scratch, "base")
        build_korvane(base)
        # An update of a plug-in in use and of a new one in a folder of its own.
        server = os.path.join(scratch, "server")
        write(os.path.join(server, "pack", "weapons", "sniper.cs"), "// sniper 2, longer\n")
        write(os.path.join(server, "pack", "newcat", "new.cs"), "// new\n")
        url = serve_update(server, options.updlist, "2.0")
        runner = Runner(options.cli, options.library, options.preload, scratch)
        # The player edited armor and sniper in use.
        edited = os.path.join(scratch, "edited")
        shutil.copytree(base, edited)
        write(os.path.join(edited, "Korvane", "plugins", "armor.cs"), "// my armor\n")
        write(os.path.join(edited, "Korvane", "plugins", "weapons", "sniper.cs"), "// my sniper\n")
        # undo-load starts from the folder a load left, with the set before it as a backup.
        loaded = os.path.join(scratch, "loaded")
        shutil.copytree(base, loaded)
        status, err = runner.run(loaded, ["load-config", os.path.join(loaded, "a.pfg")])
        if status != 0:
            sys.exit(f"FAIL: preparing undo-load: {err}")
        # undo-load that puts back the copies in use a load set aside.
        settled = os.path.join(scratch, "settled")
        shutil.copytree(edited, settled)
        status, err = runner.run(settled, ["load-config", os.path.join(settled, "b.pfg"),
                                           "--use-storage"])
        if status != 0:
            sys.exit(f"FAIL: preparing undo-load of settled copies: {err}")
        commands = [
            Command("use", ["use", "misc", "turret", "sniper"], base),
            Command("unuse", ["unuse", "armor", "sniper"], base),
            Command("load-config (directories)", ["load-config", "a.pfg"], base),
            Command("load-config (keys)", ["load-config", "b.pfg"], base),
            Command("undo-load", ["undo-load"], loaded),
            Command("describe", ["describe", "sniper", "--description", "Longer shot."], base,
                    replaces=True),
            Command("save-config", ["save-config", "saved.pfg", "--store-directory",
                                    "--name", "saved"], base),
            Command("sync", ["sync"], base),
            Command("install", ["install", "0", "--url", url], base, replaces=True),
            # Copies in use the player changed, settled as each option says.
            Command("unuse (keep mine)", ["unuse", "armor", "--keep-mine"], edited),
            Command("load-config (use storage)", ["load-config", "b.pfg", "--use-storage"],
                    edited),
            Command("install (use storage)", ["install", "0", "--url", url, "--use-storage"],
                    edited, replaces=True),
            Command("undo-load (copies back)", ["undo-load"], settled),
        ]
        if options.only:
            commands = [c for c in commands if c.label == options.only]
        failures = []
        table = []
        pool = concurrent.futures.ThreadPoolExecutor(max_workers=max(1, options.jobs))
        for command in commands:
            kinds, ok = count_calls(runner, command, scratch)
            jobs = []
            for number in chosen_calls(kinds, options.most):
                kind = kinds[number - 1]
                for code in (errno.EIO, errno.ENOSPC) if kind in SPACE_KINDS else (errno.EIO,):
                    jobs.append((number, kind, code, pool.submit(
                        run_with_fault, runner, command, ok, scratch, number, code)))
            faults = clean = failed_runs = 0
            for number, kind, code, job in jobs:
                status, err, problems = job.result()
                faults += 1
                failed_runs += status != 0
                if problems:
                    failures.append(f"{command.label}: call {number} ({kind}) failing with "
                                    f"{errno.errorcode[code]}, exit {status} "
                                    f"({err.strip()[:200]!r}):\n    " + "\n    ".join(problems))
                else:
                    clean += 1
            table.append((command.label, len(kinds), faults, failed_runs, clean))
        pool.shutdown()
        print(f"{'command':<28}{'calls':>7}{'faults':>8}{'exit 1':>8}{'clean':>7}")
        for label, calls, faults, failed_runs, clean in table:
            print(f"{label:<28}{calls:>7}{faults:>8}{failed_runs:>8}{clean:>7}")
        print(f"{runner.runs} runs in {time.monotonic() - started:.0f} s")
        if failures:
            print(f"FAIL: {len(failures)} faults not survived:")
            for failure in failures:
                print("  " + failure)
            sys.exit(1)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
