#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the Windows files the packaging makes and checks, one field a line, tab-separated:

  windows_files.py version RESOURCE   a version record (VS_VERSIONINFO), as
                                      `wrestool --extract --raw --type=16` takes it from a .exe
  windows_files.py shortcut FILE.lnk  a shell link: its target, arguments, icon, folder
  windows_files.py icon-pixels PNG    a PNG's size and the SHA-256 of its pixels as 8-bit RGBA
                                      (the same for a palette PNG and its RGBA copy)

Each reads the format as Microsoft documents it (VS_VERSIONINFO; MS-SHLLINK), nothing more.
"""

import hashlib
import struct
import sys
import zlib


def Align4(offset):
    return (offset + 3) & ~3


def VersionNode(data, offset):
    """One node of the version record: (key, type, value bytes, children), and its end."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    position = offset + 6
    key_end = position
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[position:key_end].decode("utf-16-le")
    position = Align4(key_end + 2)
    # A text value's length counts UTF-16 units, a binary one's bytes.
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[position:position + value_bytes]
    position = Align4(position + value_bytes)
    children = []
    while position < end:
        child, child_end = VersionNode(data, position)
        children.append(child)
        position = Align4(child_end)
    return (key, value_type, value, children), end


def Text(value):
    return value.decode("utf-16-le").rstrip("\0")


def PrintVersion(path):
    data = open(path, "rb").read()
    (key, _, fixed, children), _ = VersionNode(data, 0)
    print(f"key\t{key}")
    (signature, struct_version, file_ms, file_ls, product_ms, product_ls, flags_mask, flags,
     file_os, file_type, file_subtype) = struct.unpack_from("<11I", fixed)
    print(f"fixed.signature\t0x{signature:08x}")
    print(f"fixed.FileVersion\t{file_ms >> 16}.{file_ms & 0xFFFF}.{file_ls >> 16}.{file_ls & 0xFFFF}")
    print(f"fixed.ProductVersion\t{product_ms >> 16}.{product_ms & 0xFFFF}."
          f"{product_ls >> 16}.{product_ls & 0xFFFF}")
    print(f"fixed.FileFlags\t0x{flags & flags_mask:x}")
    print(f"fixed.FileOS\t0x{file_os:x}")
    print(f"fixed.FileType\t{file_type}")
    for child_key, _, _, blocks in children:
        if child_key == "StringFileInfo":
            for block_key, _, _, strings in blocks:
                print(f"string.block\t{block_key}")
                for name, _, value, _ in strings:
                    print(f"string.{block_key}.{name}\t{Text(value)}")
        elif child_key == "VarFileInfo":
            for name, _, value, _ in blocks:
                pairs = [struct.unpack_from("<HH", value, i) for i in range(0, len(value), 4)]
                print(f"var.{name}\t" + " ".join(f"0x{lang:04x},{cp}" for lang, cp in pairs))


def PrintShortcut(path):
    data = open(path, "rb").read()
    header_size, = struct.unpack_from("<I", data, 0)
    if header_size != 0x4C:
        sys.exit(f"{path}: not a shell link")
    flags, = struct.unpack_from("<I", data, 20)
    icon_index, show_command = struct.unpack_from("<iI", data, 56)
    position = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        id_list_size, = struct.unpack_from("<H", data, position)
        position += 2 + id_list_size
    if flags & 0x2:  # HasLinkInfo
        info = position
        (info_size, info_header_size, info_flags, _, base_offset, _,
         suffix_offset) = struct.unpack_from("<7I", data, info)
        target = ""
        if info_header_size >= 0x24:
            base_unicode, suffix_unicode = struct.unpack_from("<II", data, info + 28)
            if info_flags & 1 and base_unicode:
                target = ReadUnicodeZ(data, info + base_unicode) + \
                    ReadUnicodeZ(data, info + suffix_unicode)
        if not target and info_flags & 1:
            target = ReadAnsiZ(data, info + base_offset) + ReadAnsiZ(data, info + suffix_offset)
        print(f"target\t{target}")
        position += info_size
    unicode = bool(flags & 0x80)
    for bit, name in ((0x4, "name"), (0x8, "relative_path"), (0x10, "working_dir"),
                      (0x20, "arguments"), (0x40, "icon_location")):
        if flags & bit:
            count, = struct.unpack_from("<H", data, position)
            position += 2
            size = count * 2 if unicode else count
            raw = data[position:position + size]
            position += size
            text = raw.decode("utf-16-le") if unicode else raw.decode("latin-1")
            # Wine counts the terminating NUL that Windows leaves out.
            print(f"{name}\t" + text.rstrip("\0"))
    print(f"icon_index\t{icon_index}")
    print(f"show_command\t{show_command}")


def ReadUnicodeZ(data, offset):
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le")


def ReadAnsiZ(data, offset):
    return data[offset:data.index(b"\0", offset)].decode("latin-1")


def PngPixels(path):
    """Width, height and the pixels as 8-bit RGBA rows, for 8-bit non-interlaced PNGs."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    position = 8
    compressed = b""
    palette = b""
    transparency = b""
    while position < len(data):
        length, kind = struct.unpack_from(">I4s", data, position)
        body = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"tRNS":
            transparency = body
        elif kind == b"IDAT":
            compressed += body
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    if interlace or (depth != 8 and colour != 3) or depth > 8:
        sys.exit(f"{path}: only 8-bit (or palette) non-interlaced PNGs are read")
    raw = zlib.decompress(compressed)
    stride = (width * channels * depth + 7) // 8
    step = max(1, channels * depth // 8)
    rows = []
    previous = bytearray(stride)
    position = 0
    for _ in range(height):
        kind = raw[position]
        line = bytearray(raw[position + 1:position + 1 + stride])
        position += 1 + stride
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up = previous[i]
            upper_left = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                estimate = left + up - upper_left
                distances = (abs(estimate - left), abs(estimate - up), abs(estimate - upper_left))
                predictor = (left, up, upper_left)[distances.index(min(distances))]
                line[i] = (line[i] + predictor) & 0xFF
        rows.append(bytes(line))
        previous = line
    pixels = bytearray()
    for line in rows:
        for x in range(width):
            if colour == 3:
                bit = x * depth
                index = (line[bit // 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1)
                alpha = transparency[index] if index < len(transparency) else 255
                pixels += palette[3 * index:3 * index + 3] + bytes([alpha])
            elif colour == 6:
                pixels += line[4 * x:4 * x + 4]
            elif colour == 2:
                pixels += line[3 * x:3 * x + 3] + b"\xff"
            elif colour == 4:
                pixels += bytes([line[2 * x]] * 3 + [line[2 * x + 1]])
            else:
                pixels += bytes([line[x]] * 3 + [255])
    # A fully transparent pixel has no colour to see: the encoders may write any there.
    for i in range(0, len(pixels), 4):
        if pixels[i + 3] == 0:
            pixels[i:i + 3] = b"\0\0\0"
    return width, height, bytes(pixels)


def PrintIconPixels(path):
    width, height, pixels = PngPixels(path)
    print(f"size\t{width}x{height}")
    print(f"rgba-sha256\t{hashlib.sha256(pixels).hexdigest()}")


if __name__ == "__main__":
    commands = {"version": PrintVersion, "shortcut": PrintShortcut, "icon-pixels": PrintIconPixels}
    if len(sys.argv) != 3 or sys.argv[1] not in commands:
        sys.exit(__doc__)
    commands[sys.argv[1]](sys.argv[2])
