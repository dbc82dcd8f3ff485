#!/usr/bin/env python3
"""Checks the include graph against the layer table: every `#include "room/..."`
in a room's sources must name a room that the table lets it use. Prints each
include that breaks the table and exits 1; exits 0 when there is none.

    tools/check_layers.py [PROJECT_ROOT]
"""
import pathlib
import re
import sys

# Each room and the rooms its files may include (a room may always include
# itself). From the bottom: the files written whole, values, then the raster,
# the window's model, text and pictures, the windows, and the front ends on top.
LAYERS = {
    "files": [],
    "core": ["files"],
    "raster": [],
    "explorer": ["raster", "core", "files"],
    "report": ["core", "files"],
    "export": ["explorer", "raster", "core", "files"],
    "ui/toolkit": ["raster", "files"],
    "ui/lyapunov_window": ["ui/toolkit", "raster", "core", "files"],
    "ui/main_window": ["ui/lyapunov_window", "ui/toolkit", "export", "explorer", "raster", "core", "files"],
    "app": ["ui/main_window", "ui/lyapunov_window", "ui/toolkit", "raster", "core", "files"],
    "cli": ["report", "export", "explorer", "raster", "core", "files"],
    "python": ["report", "explorer", "raster", "core", "files"],
    # The benchmarks measure the libraries through their public headers only.
    "bench": ["report", "export", "explorer", "raster", "core", "files"],
    "fuzz": ["cli", "report", "explorer", "raster", "core", "files"],
}
# Rooms whose files may include any room.
UNCHECKED = {"tests"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = {".h", ".hpp", ".cpp", ".cc"}


def room_of(path: str) -> str | None:
    """The longest room name that `path` (relative to the root) lies in."""
    best = None
    for room in list(LAYERS) + list(UNCHECKED):
        if path == room or path.startswith(room + "/"):
            if best is None or len(room) > len(best):
                best = room
    return best


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    faults = []
    checked = 0
    for file in sorted(root.rglob("*")):
        if file.suffix not in SOURCES or not file.is_file():
            continue
        relative = file.relative_to(root).as_posix()
        if relative.startswith("build"):
            continue
        room = room_of(relative)
        if room is None or room in UNCHECKED:
            continue
        checked += 1
        allowed = {room, *LAYERS[room]}
        text = file.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            target = room_of(match.group(1))
            if target is None:
                # A quoted include outside every room (a Qt or system header
                # written with quotes) is not the table's business.
                continue
            if target not in allowed:
                line = text.count("\n", 0, match.start()) + 1
                faults.append(f'{relative}:{line}: {room} includes "{match.group(1)}" ({target} is not below it)')
    for fault in faults:
        print(fault)
    print(f"check_layers: {checked} files, {len(faults)} includes against the layer table")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
