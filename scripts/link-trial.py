#!/usr/bin/env python3
"""Tries kinds of damage on the shell link service alone, to learn which harm it.

Each kind is made from real links (tests/data/real-links), written to a temporary
folder and read by linktrial.exe (the service and nothing else) in a child process
with a time limit. For each kind the script prints what happened to the files:
read (and whether as the undamaged file reads), refused, crashed, stalled (over
the time limit) or swamped (over the memory limit).

The survey reads every link in reader processes of its own, so what harms the
service ends a reader, not the program; this tells which kinds do, and how.

Run through scripts/link-trial.sh, which sets up Wine.
"""
import os
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SAMPLES = os.path.join(ROOT, "tests", "data", "real-links")
WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")
TRIAL = os.path.join(os.environ.get("BUILD_DIR", os.path.join(ROOT, "build")), "tests", "linktrial.exe")
TIME_LIMIT = float(os.environ.get("TRIAL_SECONDS", "20"))
MEMORY_LIMIT_KB = 100 * 1024

HAS_ID_LIST, HAS_LINK_INFO, IS_UNICODE = 0x1, 0x2, 0x80
STRING_FLAGS = (0x4, 0x8, 0x10, 0x20, 0x40)


def u16(b, at): return struct.unpack_from("<H", b, at)[0]
def u32(b, at): return struct.unpack_from("<I", b, at)[0]


class Link:
    """Where the parts of a link start: header, ID list, link info, strings, extra blocks."""

    def __init__(self, data):
        self.data = bytearray(data)
        self.flags = u32(data, 0x14)
        at = 0x4C
        self.id_list = at if self.flags & HAS_ID_LIST else None
        if self.id_list is not None:
            at += 2 + u16(data, at)
        self.link_info = at if self.flags & HAS_LINK_INFO else None
        if self.link_info is not None:
            at += u32(data, at)
        self.strings = at
        unit = 2 if self.flags & IS_UNICODE else 1
        for flag in STRING_FLAGS:
            if self.flags & flag:
                at += 2 + u16(data, at) * unit
        self.extra = at
        self.blocks = []  # (offset, size) up to the terminal block
        while at + 4 <= len(data) and u32(data, at) >= 8:
            self.blocks.append((at, u32(data, at)))
            at += u32(data, at)
        self.terminal = at


def sound(name):
    return Link(open(os.path.join(SAMPLES, name), "rb").read())


def with_bytes(link, at, new, old_len=0):
    d = bytes(link.data)
    return d[:at] + new + d[at + old_len:]


def id_list_of(items):
    body = b"".join(struct.pack("<H", len(i) + 2) + i for i in items) + b"\0\0"
    return struct.pack("<H", len(body)) + body


def replace_id_list(link, new_list):
    old = 2 + u16(link.data, link.id_list)
    return with_bytes(link, link.id_list, new_list, old)


def id_list_alone(link, items, kind=b"\x1f"):
    """The header with only an ID list of `items` items that hold nothing but their type."""
    d = bytearray(link.data[:0x4C])
    struct.pack_into("<I", d, 0x14, HAS_ID_LIST)
    return bytes(d) + id_list_of([kind] * items) + b"\0\0\0\0"


def runaway_from_64k_list(link):
    """The header with an ID list of nearly 64 KB: folder items of 4 KB, then one
    that runs 64 KB past the list. A list this long gets memory of its own, which
    ends soon after it, so the service runs off into memory that is not there."""
    d = bytearray(link.data[:0x4C])
    struct.pack_into("<I", d, 0x14, HAS_ID_LIST)
    size, step = 0xFFF0, 0x1000
    body = bytearray(size)
    at = 0
    while at + step < size - 0x10:
        struct.pack_into("<HB", body, at, step, 0x31)
        at += step
    struct.pack_into("<HB", body, at, 0xFFFF, 0x31)
    return bytes(d) + struct.pack("<H", size) + bytes(body) + b"\0\0\0\0"


def set32(data, at, value):
    d = bytearray(data)
    struct.pack_into("<I", d, at, value)
    return bytes(d)


def with_arguments(link, count):
    """The link with an arguments string of `count` characters."""
    d = bytearray(link.data)
    unit = 2 if link.flags & IS_UNICODE else 1
    text = ("x" * count).encode("utf-16-le" if unit == 2 else "ascii")
    at = link.strings
    for flag in STRING_FLAGS:
        has = link.flags & flag
        size = 2 + u16(d, at) * unit if has else 0
        if flag == 0x20:
            struct.pack_into("<I", d, 0x14, link.flags | 0x20)
            return bytes(d[:at]) + struct.pack("<H", count) + text + bytes(d[at + size:])
        at += size
    raise ValueError


def unknown_block(size):
    return struct.pack("<II", size, 0xA0000099) + b"\0" * (size - 8)


# Each kind: a name, the samples it applies to, and the change. A change may
# return None when the sample has no such part.
KINDS = [
    ("bytes after the terminal block", lambda l: bytes(l.data) + b"A" * 65536),
    ("no terminal block", lambda l: bytes(l.data[:l.terminal])),
    ("ends inside its last extra block",
     lambda l: bytes(l.data[:l.blocks[-1][0] + l.blocks[-1][1] // 2]) if l.blocks else None),
    ("500 extra blocks", lambda l: with_bytes(l, l.terminal, unknown_block(12) * 500)),
    ("an extra block of 8 MiB", lambda l: with_bytes(l, l.terminal, unknown_block(8 << 20))),
    ("arguments of 40,000 characters", lambda l: with_arguments(l, 40000)),
    ("arguments of 65,535 characters", lambda l: with_arguments(l, 65535)),
    ("link info: network offset out of range (not used)",
     lambda l: set32(l.data, l.link_info + 0x14, 0xFFFFFF) if l.link_info and not u32(l.data, l.link_info + 8) & 2 else None),
    ("link info: volume label offset out of range",
     lambda l: set32(l.data, l.link_info + u32(l.data, l.link_info + 0x0C) + 0x0C, 0xFFFFFF)
     if l.link_info and u32(l.data, l.link_info + 0x0C) else None),
    ("link info: header size out of range",
     lambda l: set32(l.data, l.link_info + 4, 0xFFFF) if l.link_info else None),
    ("extra block of 4 to 7 bytes", lambda l: with_bytes(l, l.terminal, struct.pack("<II", 6, 0xA0000099))),
    ("special folder offset off the list",
     lambda l: with_bytes(l, l.terminal, struct.pack("<IIII", 0x10, 0xA0000005, 0x24, 0x7FFF))),
    ("known folder offset off the list",
     lambda l: with_bytes(l, l.terminal, struct.pack("<II", 0x1C, 0xA000000B) + b"\x11" * 16 + struct.pack("<I", 0x7FFF))),
    ("ID list block with an item running past it",
     lambda l: with_bytes(l, l.terminal, struct.pack("<IIHH", 0x10, 0xA000000C, 0xFFFF, 0x1F) + b"\0\0\0\0")),
    ("string count past the end of the file",
     lambda l: bytes(l.data[:l.strings]) + struct.pack("<H", 0xFFFF) if l.flags & 0x7C else None),
    ("link info past the end of the file",
     lambda l: bytes(l.data[:l.link_info + 0x30]) if l.link_info else None),
    ("ID list past the end of the file", lambda l: bytes(l.data[:l.id_list + 8]) if l.id_list else None),
    ("ID list without its terminator",
     lambda l: replace_id_list(l, struct.pack("<HH", 8, 6) + b"\x1fP\0\0") if l.id_list else None),
    ("ID list item of 1 byte",
     lambda l: replace_id_list(l, struct.pack("<H", 5) + b"\x01\0\0\0\0") if l.id_list else None),
    # The kinds the service is expected to be harmed by.
    ("ID list item running past the list",
     lambda l: set32(l.data, l.id_list + 2, 0xFFFF | (u16(l.data, l.id_list + 4) << 16)) if l.id_list else None),
    ("ID list of 2,000 items", lambda l: replace_id_list(l, id_list_of([b"\x31" + b"\0" * 5] * 2000)) if l.id_list else None),
    ("ID list of 300 items", lambda l: replace_id_list(l, id_list_of([b"\x31" + b"\0" * 5] * 300)) if l.id_list else None),
    ("ID list alone, 2,000 3-byte items", lambda l: id_list_alone(l, 2000)),
    ("ID list alone, 500 3-byte items", lambda l: id_list_alone(l, 500)),
    ("ID list alone, 256 3-byte items", lambda l: id_list_alone(l, 256)),
    ("ID list alone, 100 3-byte items", lambda l: id_list_alone(l, 100)),
    # Loaded and read at once, but Resolve never comes back (or takes seconds).
    ("ID list alone, 10 items of type 0x42", lambda l: id_list_alone(l, 10, b"\x42")),
    ("ID list alone, 15 items of type 0x42", lambda l: id_list_alone(l, 15, b"\x42")),
    ("ID list alone, 24 items of type 0x42", lambda l: id_list_alone(l, 24, b"\x42")),
    ("ID list alone, 100 items of type 0x41", lambda l: id_list_alone(l, 100, b"\x41")),
    # Crashes whatever the heap holds: the one the survey's tests use.
    ("ID list of 64 KB whose last item runs past it", runaway_from_64k_list),
    ("link info of 2 GB declared", lambda l: set32(l.data, l.link_info, 0x7FFFFFF0) if l.link_info else None),
    ("extra block of 2 GB declared", lambda l: with_bytes(l, l.terminal, struct.pack("<II", 0x7FFFFFF0, 0xA0000099))),
    ("extra block of 4 GB declared", lambda l: with_bytes(l, l.terminal, struct.pack("<II", 0xFFFFFFF0, 0xA0000099))),
]


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def trial(path):
    """(outcome, output, seconds, peak kB) of the service reading one file."""
    start = time.monotonic()
    with tempfile.NamedTemporaryFile("r") as report:
        proc = subprocess.Popen(["/usr/bin/time", "-q", "-f", "%M", "-o", report.name, WINE, TRIAL, wine_path(path)],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                start_new_session=True)
        try:
            out, _ = proc.communicate(timeout=TIME_LIMIT)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, 9)
            proc.communicate()
            return "stalled", "", TIME_LIMIT, 0
        seconds = time.monotonic() - start
        lines = report.read().strip().splitlines()
    kb = int(lines[-1]) if lines and lines[-1].isdigit() else 0
    text = out.decode("utf-8", "replace").strip()
    if proc.returncode != 0 or not text:
        return "crashed", text, seconds, kb
    outcome = text.split("\t", 1)[0]
    return ("swamped" if kb > MEMORY_LIMIT_KB else outcome), text, seconds, kb


def main():
    names = sorted(n for n in os.listdir(SAMPLES) if n.endswith(".lnk"))
    # Every n-th sample, so that a run of all kinds takes minutes, not an hour.
    names = names[::int(os.environ.get("TRIAL_EVERY", "4"))]
    only = sys.argv[1:] or None
    with tempfile.TemporaryDirectory() as folder:
        baseline = {}
        for name in names:
            baseline[name] = trial(os.path.join(SAMPLES, name))[1]
        for kind, change in KINDS:
            if only and not any(o in kind for o in only):
                continue
            counts = {}
            same = 0
            worst_kb = 0
            for index, name in enumerate(names):
                try:
                    data = change(sound(name))
                except Exception:
                    data = None
                if data is None:
                    continue
                path = os.path.join(folder, "%02d.lnk" % index)
                with open(path, "wb") as f:
                    f.write(data)
                outcome, text, seconds, kb = trial(path)
                worst_kb = max(worst_kb, kb)
                if outcome == "read" and text == baseline[name]:
                    same += 1
                counts[outcome] = counts.get(outcome, 0) + 1
                os.remove(path)
            summary = ", ".join("%s %d" % (k, v) for k, v in sorted(counts.items()))
            print("%-52s %s (as undamaged: %d); peak %d MB" % (kind, summary, same, worst_kb // 1024), flush=True)


if __name__ == "__main__":
    main()
