"""Bitmap, sound and video files made for the tests: Windows bitmaps of 1, 4, 8, 16, 24 and 32
bits in both header forms, PCM wave files and uncompressed AVI videos."""
import math
import struct


def _rows(width, height, bits, pixel):
    """Pixel rows bottom-up, padded to 32-bit words; pixel(x, y) gives the value at (x, y) with
    y = 0 the top row (an index for 8 bits and fewer, (r, g, b) above)."""
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        if bits in (1, 4, 8):
            acc, n = 0, 0
            for x in range(width):
                acc = (acc << bits) | pixel(x, y)
                n += bits
                if n == 8:
                    row.append(acc)
                    acc, n = 0, 0
            if n:
                row.append(acc << (8 - n))
        else:
            for x in range(width):
                r, g, b = pixel(x, y)
                if bits == 24:
                    row += bytes((b, g, r))
                elif bits == 32:
                    row += bytes((b, g, r, 0))
                else:  # 16 bits, 5-5-5
                    row += struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
        row += bytes(-len(row) % 4)
        out += row
    return bytes(out)


def bmp(width, height, bits, pixel, palette=None, core=False):
    """A bitmap file. `palette` is a list of (r, g, b) for 8 bits and fewer; `core` writes the
    12-byte header with 3-byte colour entries, else the 40-byte header with 4-byte entries."""
    rows = _rows(width, height, bits, pixel)
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table = b"".join(bytes((b, g, r)) for r, g, b in palette or [])
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 2835,
                             2835, len(palette or []), 0)
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette or [])
    body = header + table + rows
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + len(header) + len(table)) + body


def full_palette(bits, colours):
    """`colours` followed by black up to 2^bits entries."""
    return list(colours) + [(0, 0, 0)] * ((1 << bits) - len(colours))


def wav(seconds, rate=22050, tone=440):
    """A mono 16-bit PCM wave file with a quiet tone."""
    count = int(seconds * rate)
    samples = b"".join(struct.pack("<h", int(3000 * math.sin(2 * math.pi * tone * i / rate)))
                       for i in range(count))
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = b"WAVE" + _chunk(b"fmt ", fmt) + _chunk(b"data", samples)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def _chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + bytes(len(data) % 2)


def _list(kind, data):
    return _chunk(b"LIST", kind + data)


def avi(width, height, frames, fps, colour, bits=32):
    """An uncompressed AVI of 32-bit (or 24-bit) frames without sound; colour(i) gives frame i's
    (r, g, b). Frames of the display's own depth need no conversion: Wine's video player draws
    24-bit frames on a 32-bit display as grey stripes."""
    pixel_bytes = bits // 8
    frame_size = (width * pixel_bytes + 3) // 4 * 4 * height
    usec = 1000000 // fps
    avih = struct.pack("<IIIIIIIIII4I", usec, frame_size * fps, 0, 0x10, frames, 0, 1,
                       frame_size, width, height, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, fps, 0,
                       frames, frame_size, 0xFFFFFFFF, 0, 0, 0, width, height)
    strf = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, frame_size, 0, 0, 0, 0)
    hdrl = _list(b"hdrl", _chunk(b"avih", avih) + _list(b"strl", _chunk(b"strh", strh) +
                                                         _chunk(b"strf", strf)))
    movi_data = b""
    index = b""
    for i in range(frames):
        r, g, b = colour(i)
        row = bytes((b, g, r, 0)[:pixel_bytes]) * width
        row += bytes(-len(row) % 4)
        offset = 4 + len(movi_data)
        movi_data += _chunk(b"00db", row * height)
        index += struct.pack("<4sIII", b"00db", 0x10, offset, frame_size)
    body = b"AVI " + hdrl + _list(b"movi", movi_data) + _chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def bmp_top_down(width, height, pixel):
    """A 24-bit bitmap whose rows are stored top row first (negative height)."""
    data = bytearray(bmp(width, height, 24, lambda x, y: pixel(x, height - 1 - y)))
    struct.pack_into("<i", data, 22, -height)
    return bytes(data)


def bmp_565(width, height, pixel):
    """A 16-bit bitmap with 5-6-5 bit-field masks behind its 40-byte header."""
    rows = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)
        rows += row + bytes(-len(row) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 3, len(rows), 0, 0, 0, 0)
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    body = header + masks + bytes(rows)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + 52) + body
