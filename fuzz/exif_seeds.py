#!/usr/bin/env python3
"""Writes the seed corpus of exif_fuzz: APP1 segment contents shaped as phones write them
(IFD0 with make, model, resolutions, dates and pointers to the Exif, GPS and thumbnail
directories), in both byte orders, and damaged copies of them. Also puts such segments
into two JPEG seeds of jpeg_fuzz so that it meets turned pictures.
    fuzz/exif_seeds.py   (from the repository's top)"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ASCII, SHORT, LONG, RATIONAL = 2, 3, 4, 5
SIZES = {ASCII: 1, SHORT: 2, LONG: 4, RATIONAL: 8}


def directory(order, start, entries, next_ifd=0):
    """An IFD at offset start: its bytes, values that do not fit in four bytes after it."""
    head = struct.pack(order + "H", len(entries))
    data_at = start + 2 + 12 * len(entries) + 4
    data = b""
    for tag, kind, value in entries:
        if kind == ASCII:
            raw = value.encode() + b"\0"
            count = len(raw)
        elif kind == RATIONAL:
            raw = struct.pack(order + "II", *value)
            count = 1
        else:
            raw = struct.pack(order + ("H" if kind == SHORT else "I"), value)
            count = 1
        if len(raw) <= 4:
            field = raw.ljust(4, b"\0")
        else:
            field = struct.pack(order + "I", data_at + len(data))
            data += raw + (b"\0" if len(raw) % 2 else b"")
        head += struct.pack(order + "HHI", tag, kind, count) + field
    return head + struct.pack(order + "I", next_ifd) + data


def phone_segment(order, orientation, make="Phone", model="Model 7"):
    mark = b"II" if order == "<" else b"MM"
    # Sizes are fixed by the entries, so two passes place the later directories.
    def build(exif_at, gps_at, ifd1_at, thumb_at):
        ifd0 = directory(order, 8, [
            (0x010F, ASCII, make), (0x0110, ASCII, model), (0x0112, SHORT, orientation),
            (0x011A, RATIONAL, (72, 1)), (0x011B, RATIONAL, (72, 1)), (0x0128, SHORT, 2),
            (0x0131, ASCII, "17.2"), (0x0132, ASCII, "2026:05:01 12:34:56"),
            (0x0213, SHORT, 1), (0x8769, LONG, exif_at), (0x8825, LONG, gps_at)], ifd1_at)
        exif = directory(order, exif_at, [
            (0x829A, RATIONAL, (1, 120)), (0x829D, RATIONAL, (18, 10)), (0x8827, SHORT, 50),
            (0x9003, ASCII, "2026:05:01 12:34:56"), (0xA002, LONG, 8160),
            (0xA003, LONG, 6120)])
        gps = directory(order, gps_at, [(0x0000, LONG, 0x02020000), (0x0001, ASCII, "N")])
        thumb = b"\xFF\xD8\xFF\xD9"
        ifd1 = directory(order, ifd1_at, [
            (0x0103, SHORT, 6), (0x0201, LONG, thumb_at), (0x0202, LONG, len(thumb))])
        return ifd0, exif, gps, ifd1, thumb
    parts = build(0, 0, 0, 0)
    at = [8]
    for part in parts[:-1]:
        at.append(at[-1] + len(part))
    ifd0, exif, gps, ifd1, thumb = build(at[1], at[2], at[3], at[4])
    tiff = mark + struct.pack(order + "HI", 42, 8) + ifd0 + exif + gps + ifd1 + thumb
    return b"Exif\0\0" + tiff


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main():
    corpus = os.path.join(HERE, "corpus", "exif")
    for order, name in (("<", "ii"), (">", "mm")):
        for value in (1, 3, 6, 8):
            write(corpus, f"phone_{name}_{value}.bin", phone_segment(order, value))
    for value in (2, 4, 5, 7):
        write(corpus, f"phone_ii_{value}.bin", phone_segment("<", value, "Camera", "X"))
    good = phone_segment(">", 6)
    damaged = {
        "cut_in_ifd0.bin": good[:40],
        "ifd0_outside.bin": good[:10] + struct.pack(">I", len(good)) + good[14:],
        "ifd0_overflow.bin": good[:10] + b"\xFF\xFF\xFF\xF8" + good[14:],
        "many_entries.bin": good[:14] + b"\xFF\xFF" + good[16:],
        "value_9.bin": good.replace(b"\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06",
                                    b"\x01\x12\x00\x03\x00\x00\x00\x01\x00\x09"),
        "orientation_long.bin": good.replace(b"\x01\x12\x00\x03", b"\x01\x12\x00\x04"),
        "xmp.bin": b"http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>",
    }
    for name, data in damaged.items():
        write(corpus, name, data)
    # Turned pictures for the JPEG reader: the segment right after the start marker.
    jpegs = os.path.join(HERE, "corpus", "jpeg")
    for source, order, value in (("baseline.jpg", "<", 6), ("cmyk.jpg", ">", 3)):
        with open(os.path.join(jpegs, source), "rb") as f:
            jpeg = f.read()
        body = phone_segment(order, value)
        segment = b"\xFF\xE1" + struct.pack(">H", len(body) + 2) + body
        write(jpegs, f"exif_{value}_{source}", jpeg[:2] + segment + jpeg[2:])


if __name__ == "__main__":
    main()
