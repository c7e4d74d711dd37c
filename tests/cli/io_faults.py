#!/usr/bin/env python3
"""Fails each file-system call of every file-changing korvane-cli command in turn, with EIO (the
program tells no error number from another), each on a fresh copy of the command's scratch Korvane
folder, after a fault-free run that counts the calls. With --most N, N calls of a command fail:
every call that changes the disk and an even spread of the others (or an even spread of the
changing ones, when they are more). After each faulted run:
- every file of storage and plugins is whole on either side or set aside among the backups (old
  bytes, or the new ones a replacing command gives it); no backup goes unless the command succeeded;
- every other file but the temporaries holds its old or its new bytes;
- the record of the last load names a whole backup; after a failed undo-load, the one it had;
- after a failed install (all or nothing), every file but the backups holds its old bytes;
- exit 0 only when the folder is as the fault-free run leaves it and no flush failed, else exit 1
  with a reason; after a failure, the fault-free retry completes the command.

usage: io_faults.py KORVANE_CLI UPDLIST FAULT_LIBRARY [--most N] [--only COMMAND] [--preload LIB]
"""
import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile
import time
from typing import NamedTuple

from scratch_korvane import LOCK_FILE, serve_update, snapshot, write

# Calls that change the disk, the ones that matter most.
CHANGING_KINDS = {"open+w", "write", "sync", "close+w", "copy", "mkdir", "link", "rename", "unlink",
                  "chmod"}
# A failure the folder cannot show: the bytes are there, but may not be on the disk.
FLUSH_KINDS = {"sync", "close+w"}
JOURNAL = os.path.join("Korvane", "backups", "updates-in-progress.txt")
# Names the backup the last load made, the one undo-load loads; backups' names hold their times.
RECORD = os.path.join("Korvane", "backups", "last-load.txt")
SIDES = ("storage", "plugins")


class Command(NamedTuple):
    label: str
    args: list
    template: str  # the folder each run starts from a copy of
    # Whether it replaces files' bytes with others of its own (a description, an update): else
    # every file's old bytes must stay whole somewhere.
    replaces: bool = False
    # Whether it changes the files all at once: after a failure every file holds its old bytes.
    whole: bool = False
    # Whether a failure leaves the record naming the backup it named before (an undo's).
    keeps_record: bool = False


def backup_text(root, relative):
    """A backup without its name line, which holds the time it was made."""
    with open(os.path.join(root, relative), "rb") as f:
        return b"\r\n".join(line for line in f.read().split(b"\r\n")
                            if not line.startswith(b"Name="))


def is_backup(relative):
    return relative.startswith(os.path.join("Korvane", "backups", "")) and \
        relative.endswith(".pfg")


def set_aside(relative):
    """(side, path below it) of a file a settlement set aside in a folder of backups
    (Korvane/backups/STEM/plugins/... or .../storage/...), else None."""
    parts = relative.split(os.sep)
    if len(parts) > 4 and parts[:2] == ["Korvane", "backups"] and parts[3] in SIDES:
        return parts[3], os.sep.join(parts[4:])
    return None


def below_sides(relative):
    """The path below storage or plugins of a file of either, else None."""
    parts = relative.split(os.sep, 2)
    return parts[2] if len(parts) == 3 and parts[0] == "Korvane" and parts[1] in SIDES else None


def twins(relative):
    """The path and, for a file of storage or plugins, the same path on the other side."""
    rest = below_sides(relative)
    return [relative] if rest is None else [os.path.join("Korvane", side, rest) for side in SIDES]


def recorded(root, files):
    """The backup the record names, as backup_text gives it; None without a record, b"" when it
    names no whole backup."""
    if RECORD not in files:
        return None
    with open(os.path.join(root, RECORD), "rb") as f:
        name = f.read().decode(errors="replace").rstrip("\r\n")
    backup = os.path.join("Korvane", "backups", name)
    if os.sep in name or backup not in files or not is_backup(backup):
        return b""
    text = backup_text(root, backup)
    return text if text.endswith(b"\r\n") else b""


def comparable(root, files):
    """The state to compare between runs: backups and files set aside by their contents, whatever
    their folders' names, and the backup the record names by its contents."""
    # A journal of copies in use that still names copies refreshed whole is harmless: it only
    # tells the updater's bytes from the player's.
    plain = {path: digest for path, digest in files.items() if not is_backup(path)
             and not set_aside(path) and path not in (JOURNAL, RECORD)}
    backups = sorted(backup_text(root, path) for path in files if is_backup(path))
    backups += sorted(f"{os.sep.join(set_aside(path))}={digest}".encode()
                      for path, digest in files.items() if set_aside(path))
    return plain, backups, recorded(root, files)


def complete(state, ok, same_record=True):
    """Whether a folder holds what the fault-free run leaves. A backup more is no harm: a failed
    run may have made one that its retry made again, and one that could not be removed stays.
    After a retry, the record names the backup of what the retry replaced, which a failed run
    may have changed."""
    return state[0] == ok[0] and all(b in state[1] for b in ok[1]) and \
        (not same_record or state[2] == ok[2])


def build_korvane(root):
    k = os.path.join(root, "Korvane")
    for path, text in (
            ("korvane.cs", "// the modification\n"),
            ("storage/weapons/sniper.cs", "// sniper 1\n"),
            ("storage/weapons/sniper.desc.txt",
             "Name=Sniper\r\nCategory=Weapon\r\nVersion=2\r\nA long shot.\r\n"),
            ("storage/weapons/sniper.ico", b"\0\0\1\0icon"),
            ("storage/armor.cs", "// armor\n"),
            ("storage/armor.desc.txt", "Name=Armor\r\nCategory=Armor\r\n"),
            ("storage/deploy/turret.cs", "// turret\n"),
            ("storage/misc.cs", "// misc\n"),
            ("plugins/weapons/sniper.cs", "// sniper 1\n"),
            ("plugins/armor.cs", "// armor\n"),
            ("plugins/armor.extra.txt", "only in plugins\n"),  # its only copy
            ("plugins/local.cs", "// only in plugins\n")):  # its only copy
        write(os.path.join(k, path), text)
    for name, use_directory, entries in (
            ("a.pfg", "TRUE", ["weapons\\,sniper", "deploy\\,turret", ",misc"]),
            ("b.pfg", "FALSE", ["NULL,armor", "NULL,misc", "NULL,local"])):
        lines = [f"Name={name}", f"UseDirectory={use_directory}"] + \
            [f"Plugin={entry}" for entry in entries]
        write(os.path.join(root, name), "\r\n".join(lines) + "\r\n")
    write(os.path.join(root, "saved.pfg"), "Name=old\r\nUseDirectory=FALSE\r\n")


class Runner:
    def __init__(self, options, scratch):
        self.options = options
        self.scratch = scratch

    def run(self, root, args, fault=None, log=None):
        """Runs the tool on root's Korvane folder; fault is the number of the call that fails
        with EIO, or None."""
        env = {name: value for name, value in os.environ.items()
               if not name.startswith("KORVANE_FAULT_")}
        env.update(HOME=self.scratch, XDG_CONFIG_HOME=os.path.join(self.scratch, "config"),
                   KORVANE_FAULT_ROOT=root, LD_PRELOAD=" ".join(
                       filter(None, [self.options.preload, self.options.library])))
        if fault:
            env["KORVANE_FAULT_AT"] = str(fault)
        if log:
            env["KORVANE_FAULT_LOG"] = log
        process = subprocess.run([self.options.cli, "--korvane", os.path.join(root, "Korvane")]
                                 + args, env=env, cwd=root, capture_output=True, timeout=60)
        return process.returncode, process.stderr.decode(errors="replace")

    def run_fresh(self, command, fault, then):
        """Runs the command, with the fault, on a fresh copy of its template, and returns what
        then(root, exit status, error output, the lines of the calls' log) gives."""
        root = tempfile.mkdtemp(prefix="run-", dir=self.scratch)
        log = root + ".log"
        try:
            shutil.copytree(command.template, root, symlinks=True, dirs_exist_ok=True)
            status, err = self.run(root, command.args, fault, log)
            with open(log) as f:
                calls = f.read().splitlines()
            return then(root, status, err, calls)
        finally:
            shutil.rmtree(root, ignore_errors=True)
            if os.path.exists(log):
                os.remove(log)


def count_calls(runner, command):
    """The kinds of the command's calls in order, and the state it leaves without a fault."""
    def counted(root, status, err, calls):
        if status != 0:
            sys.exit(f"FAIL: {command.label} without a fault exited {status}: {err}")
        return [line.split("\t")[0] for line in calls], comparable(root, snapshot(root))
    return runner.run_fresh(command, None, counted)


def run_with_fault(runner, command, ok, before, number):
    """Runs the command with one call failing, and the retry; (exit status, error output,
    problems)."""
    def checked(root, status, err, calls):
        problems = check(command, before, ok, root, status, err)
        injected = [line.split("\t")[1:3] for line in calls if line.startswith("FAULT\t")]
        if status == 0 and injected and injected[0][0] in FLUSH_KINDS \
                and not injected[0][1].endswith(LOCK_FILE):
            problems.append(f"exit 0 though {injected[0][1]} may not be on the disk")
        # After a success there is nothing to complete (and a second undo-load would undo the
        # first).
        if status != 0:
            retry_status, retry_err = runner.run(root, command.args)
            retried = comparable(root, snapshot(root))
            if retry_status != 0:
                problems.append(f"the retry exited {retry_status}: {retry_err.strip()}")
            elif not complete(retried, ok, same_record=False):
                problems.append("the retry did not complete the command")
            if retried[2] == b"":
                problems.append("after the retry the record names no whole backup")
        return status, err, problems
    return runner.run_fresh(command, number, checked)


def chosen_calls(kinds, most):
    """Every call that changes the disk and an even spread of the others, at most `most` in all
    (when more change the disk, an even spread of those)."""
    def spread(items, count):
        return list(items) if count >= len(items) else \
            [items[(i * len(items)) // count] for i in range(count)]
    changing = [i for i, kind in enumerate(kinds, 1) if kind in CHANGING_KINDS]
    others = [i for i, kind in enumerate(kinds, 1) if kind not in CHANGING_KINDS]
    if len(changing) >= most:
        return spread(changing, most)
    return sorted(changing + spread(others, most - len(changing)))


def check(command, before, ok, root, status, err):
    """The problems the folder shows after a run that had a fault."""
    files = snapshot(root)
    ok_files = ok[0]
    problems = []
    # Below each side's path: the digests of the files set aside for it, in any folder of backups.
    aside = {}
    for path, digest in files.items():
        if set_aside(path):
            aside.setdefault(set_aside(path)[1], set()).add(digest)
    for path, digest in before.items():
        rest = below_sides(path)
        if rest is None:
            continue
        places = twins(path)
        good = {digest} | ({ok_files[p] for p in places if p in ok_files} if command.replaces
                           else set())
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
        elif path == RECORD:
            if recorded(root, files) == b"":
                problems.append(f"{path} names no whole backup")
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
    if status == 1 and command.whole:
        changed = [path for path, digest in files.items() if not is_backup(path)
                   and not set_aside(path) and path != JOURNAL and before.get(path) != digest]
        changed += [path for path in before if path not in files]
        problems += [f"{path} is not its old self after the failure" for path in sorted(changed)]
    if status != 0 and command.keeps_record and \
            recorded(root, files) != recorded(command.template, snapshot(command.template)):
        problems.append("the failed undo no longer records the backup it was loading")
    if status != 0:
        kept_texts = {backup_text(root, p) for p in files if is_backup(p)}
        for path in before:
            if is_backup(path) and backup_text(command.template, path) not in kept_texts:
                problems.append(f"{path} went although the command failed")
    return problems


def prepare(runner, base, scratch, url):
    """The commands, and the folders they start from besides base."""
    # The player edited armor and sniper in use.
    edited = os.path.join(scratch, "edited")
    shutil.copytree(base, edited)
    write(os.path.join(edited, "Korvane", "plugins", "armor.cs"), "// my armor\n")
    write(os.path.join(edited, "Korvane", "plugins", "weapons", "sniper.cs"), "// my sniper\n")
    # undo-load starts from the folder a load left, with the set before it as a backup and the
    # copies in use it set aside, which the undo loads and puts back.
    settled = os.path.join(scratch, "settled")
    shutil.copytree(edited, settled)
    status, err = runner.run(settled, ["load-config", os.path.join(settled, "b.pfg"),
                                       "--use-storage"])
    if status != 0:
        sys.exit(f"FAIL: preparing undo-load: {err}")
    return [
        Command("use", ["use", "misc", "turret", "sniper"], base),
        Command("unuse", ["unuse", "armor", "sniper"], base),
        Command("load-config (directories)", ["load-config", "a.pfg"], base),
        Command("describe", ["describe", "sniper", "--description", "Longer shot."], base,
                replaces=True),
        Command("save-config", ["save-config", "saved.pfg", "--store-directory", "--name",
                                "saved"], base),
        Command("sync", ["sync"], base),
        # It backs up storage's sniper before it replaces it. (Checking signatures first, as
        # with --key, makes no other file-system calls.)
        Command("install", ["install", "0", "--url", url], base, replaces=True, whole=True),
        # Copies in use the player changed, settled as each option says.
        Command("unuse (keep mine)", ["unuse", "armor", "--keep-mine"], edited),
        Command("load-config (use storage)", ["load-config", "b.pfg", "--use-storage"], edited),
        Command("install (use storage)", ["install", "0", "--url", url, "--use-storage"], edited,
                replaces=True),
        Command("undo-load (copies back)", ["undo-load"], settled, keeps_record=True),
    ]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli", type=os.path.abspath)  # the tool runs in each scratch folder
    parser.add_argument("updlist", type=os.path.abspath)
    parser.add_argument("library", type=os.path.abspath)
    parser.add_argument("--most", type=int, default=120,
                        help="most calls failed per command (more are sampled evenly)")
    parser.add_argument("--only", help="run only the command of this label")
    parser.add_argument("--preload", type=os.path.abspath,
                        help="a library to preload before the fault library")
    parser.add_argument("--jobs", type=int, default=2, help="runs at once")
    options = parser.parse_args()
    scratch = tempfile.mkdtemp(prefix="io-faults-")
    started = time.monotonic()
    try:
        base = os.path.join(scratch, "base")
        build_korvane(base)
        # An update of a plug-in in use and of a new one in a folder of its own.
        server = os.path.join(scratch, "server")
        write(os.path.join(server, "pack", "weapons", "sniper.cs"), "// sniper 2, longer\n")
        write(os.path.join(server, "pack", "newcat", "new.cs"), "// new\n")
        runner = Runner(options, scratch)
        commands = prepare(runner, base, scratch, serve_update(server, options.updlist, "2.0"))
        failures = []
        print(f"{'command':<28}{'calls':>7}{'faults':>8}{'exit 1':>8}{'clean':>7}")
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, options.jobs)) as pool:
            for command in commands:
                if options.only and command.label != options.only:
                    continue
                kinds, ok = count_calls(runner, command)
                before = snapshot(command.template)
                jobs = [(number, kinds[number - 1],
                         pool.submit(run_with_fault, runner, command, ok, before, number))
                        for number in chosen_calls(kinds, options.most)]
                failed_runs = clean = 0
                for number, kind, job in jobs:
                    status, err, problems = job.result()
                    failed_runs += status != 0
                    clean += not problems
                    if problems:
                        failures.append(f"{command.label}: call {number} ({kind}) failing, exit "
                                        f"{status} ({err.strip()[:200]!r}):\n    "
                                        + "\n    ".join(problems))
                print(f"{command.label:<28}{len(kinds):>7}{len(jobs):>8}{failed_runs:>8}"
                      f"{clean:>7}")
        print(f"all in {time.monotonic() - started:.0f} s")
        if failures:
            print(f"FAIL: {len(failures)} faults not survived:")
            for failure in failures:
                print("  " + failure)
            sys.exit(1)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
