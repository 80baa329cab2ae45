#!/usr/bin/env python3
"""Writes res/lirvan.hlp, the Windows Help file beside the program, and res/lirvan.html,
the same guide as a web page for systems that cannot show Windows Help files,
from res/help/guide.txt.

The guide is one topic. Its first line is the title; a line that starts with "■"
is a heading; every other line is a paragraph of its own, so the text keeps the
layout of the source. The file is a Windows Help 4 file, Japanese (Shift-JIS),
without compression: the internal directory, |SYSTEM, |FONT, |TOPIC and |CONTEXT.

Run it again after changing the guide; the help file is committed.
"""
import html
import struct
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCE = ROOT / "res" / "help" / "guide.txt"
TARGET = ROOT / "res" / "lirvan.hlp"
PAGE = ROOT / "res" / "lirvan.html"

WINDOW_TITLE = "Lirvan ヘルプ"
COPYRIGHT = "Copyright (C) 2026 Lirvan developers"
CONTEXT_NAME = "CONTENTS"
FACE = "ＭＳ Ｐゴシック"
SHIFTJIS_CHARSET = 128

# |FONT descriptors: (bold, half points). Index 0 body, 1 heading, 2 title.
FONTS = [(False, 20), (True, 24), (True, 28)]
BODY, HEADING, TITLE = 0, 1, 2

BLOCK_SIZE = 0x1000          # topic block, uncompressed
BLOCK_HEADER = 12
BLOCK_DATA = BLOCK_SIZE - BLOCK_HEADER
NIL = 0xFFFFFFFF


def sjis(text):
    return text.encode("cp932")


def file_header(data):
    """An internal file: reserved space, used space, flags, then the data."""
    return struct.pack("<IIB", len(data) + 9, len(data), 4) + data


def btree(structure, page_size, flags, entries):
    """A one-page B+ tree holding already sorted leaf entries."""
    body = b"".join(entries)
    if 8 + len(body) > page_size:
        sys.exit("make-help: a B+ tree page overflows")
    header = struct.pack("<HHH16sHHHhHHi", 0x293B, flags, page_size, structure.encode("ascii"),
                         0, 0, 0, -1, 1, 1, len(entries))
    page = struct.pack("<HHhh", page_size - 8 - len(body), len(entries), -1, -1) + body
    return header + page.ljust(page_size, b"\0")


def context_hash(name):
    """The help compiler's hash of a context string."""
    value = 0
    for c in name.upper():
        if "A" <= c <= "Z":
            x = ord(c) - ord("A") + 17
        elif "1" <= c <= "9":
            x = ord(c) - ord("0")
        elif c == "0":
            x = 10
        elif c == ".":
            x = 12
        elif c == "_":
            x = 13
        else:
            continue
        value = (value * 43 + x) & 0xFFFFFFFF
    return value


def compressed_long(value):
    return struct.pack("<H", 0x8000 + 2 * value)


def compressed_ushort(value):
    return bytes([2 * value]) if value < 128 else struct.pack("<H", 2 * value + 1)


def paragraph(font, text):
    """Link data of one displayable paragraph: a font change, the text, its end."""
    texts = b"\0" + text + b"\0"
    formats = (compressed_long(len(texts)) + compressed_ushort(len(text) + 1)
               + bytes([0x00, 0x80]) + struct.pack("<HH", 0, 0)
               + bytes([0x80]) + struct.pack("<H", font) + bytes([0x82, 0xFF]))
    return 0x20, formats, texts


def topic_records(lines):
    title = sjis(lines[0])
    records = [[0x02, None, title], paragraph(TITLE, title)]
    for line in lines[1:]:
        font = HEADING if line.startswith("■") else BODY
        records.append(paragraph(font, sjis(line)))
    return records


def topic_pos(offset):
    """Where a record starts, as topic links address it."""
    return (offset // BLOCK_DATA) * 0x4000 + offset % BLOCK_DATA + BLOCK_HEADER


def topic_file(records):
    sizes = [21 + (28 if kind == 0x02 else len(formats)) + len(texts)
             for kind, formats, texts in records]
    starts = [sum(sizes[:i]) for i in range(len(records))]
    stream = b""
    for i, (kind, formats, texts) in enumerate(records):
        prev = topic_pos(starts[i - 1]) if i else NIL
        following = topic_pos(starts[i + 1]) if i + 1 < len(records) else NIL
        if kind == 0x02:
            scroll = topic_pos(starts[1]) if len(records) > 1 else NIL
            formats = struct.pack("<iiiIIIi", sum(sizes), -1, -1, 0, NIL, scroll, -1)
        link_data1 = 21 + len(formats)
        stream += struct.pack("<IIIIIB", sizes[i], len(texts), prev, following, link_data1, kind)
        stream += formats + texts
    blocks = b""
    for number in range(0, max(1, -(-len(stream) // BLOCK_DATA))):
        begin, end = number * BLOCK_DATA, (number + 1) * BLOCK_DATA
        inside = [s for s in starts if begin <= s < end]
        before = [s for s in starts if s < begin]
        header = struct.pack("<III", topic_pos(before[-1]) if before else NIL,
                             topic_pos(inside[0]) if inside else NIL,
                             topic_pos(starts[0]) if before or inside else NIL)
        blocks += header + stream[begin:end].ljust(BLOCK_DATA, b"\0")
    return blocks


def system_file():
    def record(kind, data):
        return struct.pack("<HH", kind, len(data)) + data
    header = struct.pack("<HHHIH", 0x036C, 33, 1, 0, 0)
    return (header + record(1, sjis(WINDOW_TITLE) + b"\0") + record(2, sjis(COPYRIGHT) + b"\0")
            + record(3, struct.pack("<I", 0)) + record(11, bytes([SHIFTJIS_CHARSET, 0])))


def font_file():
    face = sjis(FACE).ljust(20, b"\0")
    descriptors = b"".join(struct.pack("<BBBH3s3s", 1 if bold else 0, half_points, 3, 0,
                                       b"\0\0\0", b"\xff\xff\xff")
                           for bold, half_points in FONTS)
    return struct.pack("<HHHH", 1, len(FONTS), 8, 8 + len(face)) + face + descriptors


def context_file():
    return btree("L4", 0x800, 0x0002, [struct.pack("<II", context_hash(CONTEXT_NAME), 0)])


def help_file(lines):
    files = {"|CONTEXT": context_file(), "|FONT": font_file(),
             "|SYSTEM": system_file(), "|TOPIC": topic_file(topic_records(lines))}
    body, offsets = b"", {}
    for name in sorted(files):
        offsets[name] = 16 + len(body)
        body += file_header(files[name])
    directory = file_header(btree("z4", 0x400, 0x0402,
                                  [name.encode("ascii") + b"\0" + struct.pack("<I", offsets[name])
                                   for name in sorted(files)]))
    directory_start = 16 + len(body)
    total = directory_start + len(directory)
    return struct.pack("<IIiI", 0x00035F3F, directory_start, -1, total) + body + directory


def web_page(lines):
    """The guide as one UTF-8 page: one element per line of the guide, so the
    page keeps its layout (and a test can read the lines back)."""
    style = ("body{font-family:'Yu Gothic UI','Meiryo','MS PGothic',sans-serif;margin:2em;max-width:52em;"
             "line-height:1.5}h1,h2,p{white-space:pre-wrap;margin:0}h1{font-size:1.4em;margin-bottom:.6em}"
             "h2{font-size:1.1em;margin-top:1em}p:empty{height:1.5em}")
    out = ["<!DOCTYPE html>", '<html lang="ja">',
           f'<head><meta charset="utf-8"><title>{html.escape(WINDOW_TITLE)}</title><style>{style}</style></head>',
           "<body>", f"<h1>{html.escape(lines[0])}</h1>"]
    for line in lines[1:]:
        tag = "h2" if line.startswith("■") else "p"
        out.append(f"<{tag}>{html.escape(line)}</{tag}>")
    out += ["</body>", "</html>", ""]
    return "\n".join(out).encode("utf-8")


def main():
    lines = SOURCE.read_text(encoding="utf-8").rstrip("\n").split("\n")
    TARGET.write_bytes(help_file(lines))
    PAGE.write_bytes(web_page(lines))
    for path in (TARGET, PAGE):
        print(f"make-help: wrote {path.relative_to(ROOT)} ({path.stat().st_size} bytes)")


if __name__ == "__main__":
    main()
