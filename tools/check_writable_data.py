#!/usr/bin/env python3
"""Checks that the billiard core and the window's model keep no state of their
own: no object of a static library lies in a writable data section, and no
source file under core/ ends the process.

    tools/check_writable_data.py OBJDUMP PROJECT_ROOT LIBRARY...

Prints each writable object and each call that ends the process, and exits 1
when there is one; exits 0 otherwise.

What counts as writable: every object symbol (objdump -t, flag O) in a section
the program may write after start-up: .data, .bss, thread-local .tdata and
.tbss, and their named variants (.data.x, .bss.x). Not counted:
  - .rodata and .data.rel.ro: constants; .data.rel.ro holds tables of pointers
    (vtables, typeinfo, arrays of string constants) that the loader relocates
    and then maps read-only.
  - DW.ref.* in .data.rel.local: the compiler's reference to the exception
    personality routine, written once by the loader.
  - guard variables (_ZGV*): the flag that a function-local static of constant
    data has been initialised; the data itself is read-only.
  - the sanitizers' own bookkeeping (__odr_asan.*, __asan_*, __ubsan_*,
    __sancov_*, __tsan_*): AddressSanitizer gives every global an ODR indicator
    in .bss, also the read-only ones; it belongs to the instrumentation, not to
    the library.
"""
import pathlib
import re
import subprocess
import sys

WRITABLE = re.compile(r"^\.(data|bss|tdata|tbss)(\..*)?$")
READ_ONLY = re.compile(r"^\.data\.rel\.ro(\..*)?$")
# Calls that end the process; the core reports failures as values instead.
ENDS_PROCESS = re.compile(r"\b(?:std::)?(?:exit|_Exit|quick_exit|abort)\s*\(")
SOURCES = {".h", ".hpp", ".cpp", ".cc"}
SANITIZER_PREFIXES = ("__odr_asan", "__asan_", "__ubsan_", "__sancov_", "__tsan_")


def writable_objects(objdump: str, library: str) -> list[str]:
    listing = subprocess.run([objdump, "-t", "-C", library], check=True, capture_output=True, text=True).stdout
    found = []
    member = ""
    for line in listing.splitlines():
        heading = re.match(r"^(\S+):\s+file format", line)
        if heading:
            member = heading.group(1)
            continue
        # value, flags (7 columns), section, size, name
        match = re.match(r"^[0-9a-f]+ (.{7}) (\S+)\s+[0-9a-f]+\s+(.*)$", line)
        if not match:
            continue
        flags, section, name = match.groups()
        # Objects, and thread-local symbols, which objdump lists without the O.
        if "O" not in flags and not section.startswith(".t"):
            continue
        if READ_ONLY.match(section) or not WRITABLE.match(section):
            continue
        if name.startswith("DW.ref.") or name.startswith(".hidden DW.ref.") or name.startswith("guard variable for"):
            continue
        if name.startswith(SANITIZER_PREFIXES):
            continue
        found.append(f"{library}: {member}: {name} in {section}")
    return found


def process_ends(root: pathlib.Path) -> list[str]:
    found = []
    for file in sorted((root / "core").rglob("*")):
        if file.suffix not in SOURCES or not file.is_file():
            continue
        for number, line in enumerate(file.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            code = line.split("//")[0]
            if ENDS_PROCESS.search(code):
                found.append(f"{file.relative_to(root).as_posix()}:{number}: ends the process: {line.strip()}")
    return found


def main() -> int:
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    objdump, root, libraries = sys.argv[1], pathlib.Path(sys.argv[2]), sys.argv[3:]
    faults = []
    for library in libraries:
        faults += writable_objects(objdump, library)
    faults += process_ends(root)
    for fault in faults:
        print(fault)
    print(f"check_writable_data: {len(libraries)} libraries, {len(faults)} writable objects or process ends")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
