"""Prints the target path and the working folder of a Windows shortcut (.lnk), one per line.

The binary layout is the Shell Link format: a 76-byte header whose flags say which parts follow,
an optional item-ID list, the LinkInfo block (whose local base path is the target, in the ANSI
code page, 936 here: Wine writes no UTF-16 copy of it), then counted strings (UTF-16 when the
header says so) of which the working folder is the third.
"""

import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, IS_UNICODE = 1, 2, 4, 8, 0x10, 0x80


def read(path):
    data = open(path, "rb").read()
    if struct.unpack_from("<I", data, 0)[0] != 0x4C:
        raise ValueError("not a shortcut")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = 0x4C
    if flags & HAS_ID_LIST:
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    target = ""
    if flags & HAS_LINK_INFO:
        size = struct.unpack_from("<I", data, offset)[0]
        start = offset + struct.unpack_from("<I", data, offset + 16)[0]
        target = data[start:data.index(b"\0", start)].decode("gbk")
        offset += size
    working_dir = ""
    width = 2 if flags & IS_UNICODE else 1
    for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR):
        if flags & flag:
            count = struct.unpack_from("<H", data, offset)[0]
            text = data[offset + 2:offset + 2 + count * width]
            offset += 2 + count * width
            if flag == HAS_WORKING_DIR:
                working_dir = text.decode("utf-16-le" if width == 2 else "gbk")
    return target, working_dir


if __name__ == "__main__":
    for line in read(sys.argv[1]):
        print(line)
