#!/usr/bin/env python3
"""The .kkjx document format, written again apart from the program, for the end-to-end tests.

A .kkjx file is DES-ECB (with each byte of the XOR-folded key bit-reversed, and a framing of a
32-bit little-endian length, the data and zero bytes up to a multiple of 8) under the fixed key
"pwtm3842hd1795rvb" of H + C + W: H a 10-byte header (machine tag, month + 9, day + 9, hour + 9),
C the document bytes each plus 56 modulo 256 and then RC4 under the password, W the password
left-padded with "~" to 9 bytes.

Usage: kkjx.py open FILE PASSWORD       prints the document as UTF-8; exit 1 on a wrong password
       kkjx.py build FILE PASSWORD TEXT writes TEXT (UTF-8 here, GBK in the file) as a .kkjx file
"""
import struct
import sys
import time

FILE_KEY = b"pwtm3842hd1795rvb"

PC1 = [57, 49, 41, 33, 25, 17, 9, 1, 58, 50, 42, 34, 26, 18, 10, 2, 59, 51, 43, 35, 27, 19, 11, 3, 60, 52, 44, 36,
       63, 55, 47, 39, 31, 23, 15, 7, 62, 54, 46, 38, 30, 22, 14, 6, 61, 53, 45, 37, 29, 21, 13, 5, 28, 20, 12, 4]
PC2 = [14, 17, 11, 24, 1, 5, 3, 28, 15, 6, 21, 10, 23, 19, 12, 4, 26, 8, 16, 7, 27, 20, 13, 2,
       41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32]
SHIFTS = [1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1]
IP = [58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4, 62, 54, 46, 38, 30, 22, 14, 6,
      64, 56, 48, 40, 32, 24, 16, 8, 57, 49, 41, 33, 25, 17, 9, 1, 59, 51, 43, 35, 27, 19, 11, 3,
      61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7]
FP = [40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31, 38, 6, 46, 14, 54, 22, 62, 30,
      37, 5, 45, 13, 53, 21, 61, 29, 36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
      34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9, 49, 17, 57, 25]
EXPANSION = [32, 1, 2, 3, 4, 5, 4, 5, 6, 7, 8, 9, 8, 9, 10, 11, 12, 13, 12, 13, 14, 15, 16, 17,
             16, 17, 18, 19, 20, 21, 20, 21, 22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1]
PERMUTATION = [16, 7, 20, 21, 29, 12, 28, 17, 1, 15, 23, 26, 5, 18, 31, 10,
               2, 8, 24, 14, 32, 27, 3, 9, 19, 13, 30, 6, 22, 11, 4, 25]
SBOXES = [
    [14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7, 0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8,
     4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0, 15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13],
    [15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10, 3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15, 13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9],
    [10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8, 13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1,
     13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7, 1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12],
    [7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15, 13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9,
     10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4, 3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14],
    [2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9, 14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6,
     4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14, 11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3],
    [12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11, 10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8,
     9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6, 4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13],
    [4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1, 13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6,
     1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2, 6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12],
    [13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7, 1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2,
     7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8, 2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11],
]


def permute(value, width, table):
    """Standard DES numbering: bit 1 is the most significant of `width` bits."""
    out = 0
    for position in table:
        out = (out << 1) | ((value >> (width - position)) & 1)
    return out


def round_keys(key8):
    cd = permute(int.from_bytes(key8, "big"), 64, PC1)
    c, d = cd >> 28, cd & 0xFFFFFFF
    keys = []
    for shift in SHIFTS:
        c = ((c << shift) | (c >> (28 - shift))) & 0xFFFFFFF
        d = ((d << shift) | (d >> (28 - shift))) & 0xFFFFFFF
        keys.append(permute((c << 28) | d, 56, PC2))
    return keys


def feistel(right, key):
    x = permute(right, 32, EXPANSION) ^ key
    out = 0
    for box in range(8):
        six = (x >> (42 - 6 * box)) & 0x3F
        row = ((six >> 4) & 2) | (six & 1)
        out = (out << 4) | SBOXES[box][row * 16 + ((six >> 1) & 0xF)]
    return permute(out, 32, PERMUTATION)


def des_block(block, keys):
    lr = permute(int.from_bytes(block, "big"), 64, IP)
    left, right = lr >> 32, lr & 0xFFFFFFFF
    for key in keys:
        left, right = right, left ^ feistel(right, key)
    return permute((right << 32) | left, 64, FP).to_bytes(8, "big")


def program_des_keys(key_text):
    """The program's key: the key text XOR-folded into 8 bytes, read with each byte's bits in
    reverse order, which is standard DES with every key byte bit-reversed."""
    folded = bytearray(8)
    for n, byte in enumerate(key_text):
        folded[n % 8] ^= byte
    reversed_bytes = bytes(int(f"{byte:08b}"[::-1], 2) for byte in folded)
    return round_keys(reversed_bytes)


def block_encrypt(data, key_text):
    if not data:
        return b""
    keys = program_des_keys(key_text)
    buffer = struct.pack("<I", len(data)) + data
    buffer += bytes(-len(buffer) % 8)
    return b"".join(des_block(buffer[i:i + 8], keys) for i in range(0, len(buffer), 8))


def block_decrypt(data, key_text):
    if not data or len(data) % 8:
        return b""
    keys = list(reversed(program_des_keys(key_text)))
    plain = b"".join(des_block(data[i:i + 8], keys) for i in range(0, len(data), 8))
    length = struct.unpack("<I", plain[:4])[0]
    if 0 < length <= len(data) - 4 and len(data) < length + 12:
        return plain[4:4 + length]
    return b""


def rc4(data, key):
    s = list(range(256))
    j = 0
    if key:
        for i in range(256):
            j = (j + s[i] + key[i % len(key)]) % 256
            s[i], s[j] = s[j], s[i]
    i = j = 0
    out = bytearray()
    for byte in data:
        i = (i + 1) % 256
        j = (j + s[i]) % 256
        s[i], s[j] = s[j], s[i]
        out.append(byte ^ s[(s[i] + s[j]) % 256])
    return bytes(out)


def check_field(password):
    return b"~" * (9 - len(password)) + password


def build(document, password, now):
    header = b"1002" + b"%d%d%02d" % (now.tm_mon + 9, now.tm_mday + 9, now.tm_hour + 9)
    body = rc4(bytes((byte + 56) % 256 for byte in document), password)
    return block_encrypt(header + body + check_field(password), FILE_KEY)


def open_file(data, password):
    """The document bytes, or None for a wrong password."""
    plain = block_decrypt(data, FILE_KEY)
    if plain[-9:] != check_field(password):
        return None
    body = plain[:-9][10:]
    document = bytes((byte - 56) % 256 for byte in rc4(body, password))
    return document.split(b"\0", 1)[0]


def main(argv):
    if len(argv) == 4 and argv[1] == "open":
        with open(argv[2], "rb") as file:
            document = open_file(file.read(), argv[3].encode("gbk"))
        if document is None:
            print("wrong password", file=sys.stderr)
            return 1
        sys.stdout.write(document.decode("gbk"))
        return 0
    if len(argv) == 5 and argv[1] == "build":
        with open(argv[2], "wb") as file:
            file.write(build(argv[4].encode("gbk"), argv[3].encode("gbk"), time.localtime()))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
