#!/usr/bin/env python3
"""Fails when a file in kernel/ includes a header of a higher layer.

The layers, bottom first; a file may include its own layer and those below.
Files directly in kernel/ and in kernel/init/ are start-up, the top.
"""
import pathlib
import re
import sys

LAYERS = [
    ("core", "arch"),
    ("gfx", "fs", "codec"),
    ("net", "wm", "apps", "script"),
    ("init",),
]
LEVEL = {folder: level for level, folders in enumerate(LAYERS) for folder in folders}
TOP = len(LAYERS) - 1
INCLUDE = re.compile(r'^\s*#\s*include\s+"kernel/([^"]+)"')


def level_of(path_in_kernel):
    parts = pathlib.PurePosixPath(path_in_kernel).parts
    return TOP if len(parts) == 1 else LEVEL.get(parts[0])


def upward_includes(root):
    kernel = root / "kernel"
    for source in sorted(kernel.rglob("*")):
        if source.suffix not in (".h", ".cpp", ".S"):
            continue
        own = level_of(source.relative_to(kernel).as_posix())
        for number, line in enumerate(source.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = level_of(match.group(1))
            if own is None or target is None or target > own:
                yield f"{source.relative_to(root)}:{number}: includes kernel/{match.group(1)}"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    problems = list(upward_includes(root))
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) point up a layer (or out of every layer); see DEVELOPING.md")
        return 1
    print("kernel layers: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
