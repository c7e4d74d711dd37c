#!/usr/bin/env python3
"""Checks that the program's layers import each other one way only.

Every folder below has a rank; a source file may include files of its own folder and of folders
of a lower rank, never of its own rank or above, so no folder imports a folder that imports it.
Widget headers are included only by the window's layer and the window's program.

    check_layers.py SOURCE_DIR QT_INCLUDE_DIRS

QT_INCLUDE_DIRS is Qt's include folder, or a ';'-separated list of folders one of which is Qt
Widgets' own (as CMake gives them).
"""
import pathlib
import re
import sys

RANKS = {
    "res": 0,
    "core/platform": 1,
    "core/catalogue": 2,
    "core/launch": 3,
    "core/updater": 3,
    "gui": 4,
    "cli": 4,
    "app": 5,
}
WIDGET_LAYERS = {"gui", "app"}
WIDGET_NAME = re.compile(r"\bQ[A-Z]\w+")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)


def folder_of(path: str):
    for folder in sorted(RANKS, key=len, reverse=True):
        if path == folder or path.startswith(folder + "/"):
            return folder
    return None


def widgets_folder(qt_include_dirs: str) -> pathlib.Path:
    folders = [pathlib.Path(p) for p in qt_include_dirs.split(";") if p]
    for folder in folders:
        if folder.name == "QtWidgets":
            return folder
    return folders[0] / "QtWidgets"


def main(source_dir: str, qt_include_dirs: str) -> int:
    root = pathlib.Path(source_dir)
    widget_headers = {p.name for p in widgets_folder(qt_include_dirs).iterdir()}
    faults = []
    for file in sorted(root.rglob("*")):
        if file.suffix not in (".cpp", ".h"):
            continue
        relative = file.relative_to(root).as_posix()
        layer = folder_of(relative)
        if layer is None:
            continue
        text = file.read_text(encoding="utf-8")
        if layer not in WIDGET_LAYERS:
            for name in sorted(set(WIDGET_NAME.findall(text)) & widget_headers):
                faults.append(f"{relative}: the widget class {name} outside the window")
        for bracket, target in INCLUDE.findall(text):
            if bracket == '"':
                imported = folder_of(target)
                if imported and imported != layer and RANKS[imported] >= RANKS[layer]:
                    faults.append(f"{relative}: {layer} may not include {target}")
            elif layer not in WIDGET_LAYERS:
                name = target.split("/")[-1]
                if target.startswith("QtWidgets/") or name in widget_headers:
                    faults.append(f"{relative}: a widget header <{target}> outside the window")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} layer faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
