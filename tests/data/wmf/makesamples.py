#!/usr/bin/env python3
"""Writes the hand-made sample metafiles in pass/ and fail/.

Each file is named by what it is. Files in fail/ must be refused with a
reason; files in pass/ must be read and drawn. Run from anywhere:
    python3 tests/data/wmf/makesamples.py
Files found by fuzzing are added to the folders by hand and not written here.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def words(*values):
    return b"".join(struct.pack("<H", v & 0xFFFF) for v in values)


def record(function, params=b""):
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def sized_record(size_words, function, params=b""):
    return struct.pack("<IH", size_words, function) + params


END = record(0)


def colour(r, g, b):
    return bytes([r, g, b, 0])


def placeable(left=0, top=0, right=100, bottom=100, inch=96):
    head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", head):
        checksum ^= word
    return head + struct.pack("<H", checksum)


def metafile(records, objects=8, with_placeable=True, end=True, **box):
    body = b"".join(records) + (END if end else b"")
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, 9 + len(body) // 2, objects, 0, 0)
    return (placeable(**box) if with_placeable else b"") + header + body


def window(x, y, w, h):
    return [record(0x020B, words(y, x)), record(0x020C, words(h, w))]


def brush(r, g, b):
    return record(0x02FC, words(0) + colour(r, g, b) + words(0))


def rectangle(left, top, right, bottom):
    return record(0x041B, words(bottom, right, top, left))


def dib_header(width, height, bits, compression=0, colours_used=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, 0, 0, 0, colours_used, 0)


def stretch_dib(dib, dest=(0, 0, 100, 100), width=2, height=2):
    x, y, w, h = dest
    params = struct.pack("<I", 0x00CC0020) + words(0, height, width, 0, 0, h, w, y, x)
    return record(0x0F43, params + dib)


def drawing():
    return window(0, 0, 100, 100) + [brush(255, 0, 0), record(0x012D, words(0)), rectangle(10, 10, 90, 90)]


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as out:
        out.write(data)


def main():
    good = metafile(drawing())
    # --- accepted -----------------------------------------------------
    write("pass", "placeable-red-rectangle.wmf", good)
    write("pass", "standard-header-window-extent.wmf", metafile(drawing(), with_placeable=False))
    write("pass", "flipped-window-extent.wmf",
          metafile(window(0, 100, 100, -100) + [brush(0, 0, 255), record(0x012D, words(0)), rectangle(0, 0, 100, 30)]))
    write("pass", "deleted-object-still-selected.wmf",
          metafile(window(0, 0, 100, 100) + [brush(0, 128, 0), record(0x012D, words(0)), record(0x01F0, words(0)),
                                            rectangle(0, 0, 50, 50)]))
    write("pass", "restoredc-reselects-deleted-brush.wmf",
          metafile(window(0, 0, 100, 100) + [brush(0, 128, 0), record(0x012D, words(0)), record(0x001E),
                                            brush(0, 0, 255), record(0x012D, words(1)), record(0x01F0, words(0)),
                                            record(0x0127, words(0xFFFF)), rectangle(0, 0, 50, 50)]))
    write("pass", "unknown-records-skipped.wmf",
          metafile(drawing() + [record(0x0777, words(1, 2, 3)), record(0x0419, words(0, 0, 1, 1, 1))]))
    write("pass", "escape-with-embedded-comment.wmf",
          metafile([record(0x0626, words(15, 8) + b"EMF+junk")] + drawing()))
    write("pass", "short-colour-table.wmf",
          metafile(window(0, 0, 100, 100) + [stretch_dib(dib_header(2, 2, 8, 0, 256) + colour(255, 0, 0) +
                                                         bytes([0, 0, 0, 0]) * 2)]))
    # Run-length bitmaps whose codes skip pixels (a delta, rows ended
    # early, no end marker) and name colours past their two-entry tables,
    # drawn under a clip: every pixel must still be defined. Found by
    # fuzzing in this shape (a wide, low RLE8 bitmap): Qt's BMP reader
    # leaves skipped pixels uninitialised and its painter then looked
    # colours up past the table.
    two_colours = colour(255, 0, 0) + colour(0, 0, 255)
    clip = record(0x0416, words(80, 80, 20, 20))
    rle8 = bytes([3, 200, 0, 2, 10, 1, 5, 7, 0, 0, 0, 3, 9, 250, 33, 0])
    write("pass", "rle8-skipped-pixels-and-indexes-past-table.wmf",
          metafile(window(0, 0, 100, 100) + [clip, stretch_dib(dib_header(2052, 4, 8, 1, 2) + two_colours + rle8,
                                                               width=2052, height=4)]))
    rle4 = bytes([4, 0xF1, 0, 2, 3, 1, 0, 3, 0xE2, 0xD0, 0, 0, 2, 0x9A])
    write("pass", "rle4-skipped-pixels-and-indexes-past-table.wmf",
          metafile(window(0, 0, 100, 100) + [clip, stretch_dib(dib_header(1030, 5, 4, 2, 2) + two_colours + rle4,
                                                               width=1030, height=5)]))
    # Damage inside one record costs only that record: the rest is drawn.
    write("pass", "truncated-bitmap-among-shapes.wmf",
          metafile(drawing() + [stretch_dib(dib_header(64, 64, 24) + b"\0" * 100)]))
    # An old STRETCHBLT whose 24-bit device-dependent bitmap declares rows of
    # 32 bytes but stores 30 (no row padding), as a widely used metafile
    # writer does: drawn from the bytes present.
    bitmap16 = words(0, 10, 2, 32) + bytes([1, 24]) + bytes([0, 0, 255]) * 20
    write("pass", "stretchblt-24-bit-rows-without-padding.wmf",
          metafile(window(0, 0, 100, 100) + [record(0x0B23, struct.pack("<I", 0x00CC0020) +
                                                    words(2, 10, 0, 0, 100, 100, 0, 0) + bitmap16)]))
    # --- refused --------------------------------------------------------
    write("fail", "empty-file.wmf", b"")
    write("fail", "truncated-placeable-header.wmf", good[:12])
    write("fail", "truncated-standard-header.wmf", good[:30])
    write("fail", "truncated-inside-record.wmf", good[:-9])
    write("fail", "truncated-at-record-boundary.wmf", good[:-6])
    write("fail", "not-a-metafile.wmf", b"\x89PNG\r\n\x1a\n" + b"\0" * 40)
    for size in (0, 1, 2):
        write("fail", f"record-size-{size}.wmf", metafile([sized_record(size, 0x0102, words(1))]))
    write("fail", "record-size-beyond-end.wmf", metafile([sized_record(5000, 0x0102, words(1))], end=False))
    write("fail", "polygon-count-beyond-record.wmf", metafile([record(0x0324, words(30000, 1, 1, 5, 5))]))
    write("fail", "polypolygon-count-beyond-record.wmf", metafile([record(0x0538, words(3, 9000, 9000, 9000, 0, 0))]))
    write("fail", "text-length-beyond-record.wmf", metafile([record(0x0521, words(4000) + b"ab" + words(0, 0))]))
    write("fail", "object-index-out-of-range.wmf", metafile([record(0x012D, words(500))], objects=4))
    write("fail", "zero-units-per-inch.wmf", metafile(drawing(), inch=0))
    write("fail", "huge-extent.wmf", metafile(drawing(), left=-32000, top=-32000, right=32000, bottom=32000, inch=1))
    write("fail", "zero-window-extent.wmf", metafile([record(0x020C, words(0, 0))]))
    write("fail", "deep-savedc-nesting.wmf", metafile([record(0x001E)] * 5000))
    write("fail", "million-records.wmf", metafile([record(0x0035)] * 1_000_000))
    write("fail", "absurd-bitmap-dimensions.wmf",
          metafile(window(0, 0, 100, 100) + [stretch_dib(dib_header(1_000_000, 1_000_000, 24))]))
    write("fail", "bitmap-pixels-truncated.wmf",
          metafile(window(0, 0, 100, 100) + [stretch_dib(dib_header(64, 64, 24) + b"\0" * 100)]))
    write("fail", "bitmap-unknown-depth.wmf",
          metafile(window(0, 0, 100, 100) + [stretch_dib(dib_header(2, 2, 7) + b"\0" * 64)]))
    rle_palette = colour(255, 0, 0) * 2
    write("fail", "rle8-run-past-row.wmf",
          metafile(window(0, 0, 100, 100) + [stretch_dib(dib_header(4, 2, 8, 1, 2) + rle_palette + bytes([200, 1, 0, 1]))]))
    write("fail", "rle8-rows-past-image.wmf",
          metafile(window(0, 0, 100, 100) + [stretch_dib(dib_header(4, 2, 8, 1, 2) + rle_palette +
                                                         bytes([4, 1, 0, 0]) * 5 + bytes([0, 1]))]))
    write("fail", "rle4-absolute-run-past-row.wmf",
          metafile(window(0, 0, 100, 100) + [stretch_dib(dib_header(4, 2, 4, 2, 2) + rle_palette +
                                                         bytes([0, 40]) + b"\x11" * 20 + bytes([0, 1]))]))
    write("fail", "region-scan-beyond-record.wmf",
          metafile([record(0x06FF, words(0, 6, 1, 0, 22, 1, 2, 0, 0, 10, 10, 400, 0, 10, 0, 10))]))
    write("fail", "escape-length-beyond-record.wmf", metafile([record(0x0626, words(21, 3000, 1))]))
    # Found while testing: cutting thousands of holes out of the clip made
    # path-based clipping take minutes; clip regions are rectangle lists now.
    write("fail", "clip-cut-into-thousands-of-pieces.wmf",
          metafile([record(0x0415, words(row * 2 + 1, col * 2 + 1, row * 2, col * 2))
                    for row in range(160) for col in range(160)]))

    # --- fuzzing seeds: one of each record family the reader knows -------
    region = words(0, 6, 1, 0, 22, 1, 2, 10, 10, 90, 90, 2, 10, 90, 10, 90, 2)
    font = words((-20) & 0xFFFF, 0, 0, 0, 700) + bytes([1, 1, 0, 204]) + bytes(4) + b"DejaVu Sans\0"
    seeds = {
        "regions-and-clip.wmf": drawing() + [record(0x06FF, region), record(0x0228, words(1, 0)),
                                             record(0x0429, words(1, 0, 3, 3)), record(0x012C, words(1)),
                                             record(0x0416, words(80, 80, 20, 20)), record(0x0220, words(5, 5)),
                                             record(0x012B, words(1)), record(0x012A, words(1))],
        "text-records.wmf": window(0, 0, 100, 100) + [record(0x02FB, font), record(0x012D, words(0)),
                                                       record(0x012E, words(24)), record(0x0108, words(2)),
                                                       record(0x0521, words(3) + b"abc\0" + words(50, 10)),
                                                       record(0x0A32, words(80, 10, 3, 6, 0, 0, 90, 90) + b"xyz\0" +
                                                              words(10, 10, 10))],
        "bitmap-records.wmf": window(0, 0, 100, 100) + [
            stretch_dib(dib_header(2, 2, 8, 1, 2) + colour(255, 0, 0) * 2 + bytes([2, 1, 0, 0, 2, 0, 0, 1])),
            stretch_dib(dib_header(2, 2, 24) + bytes(16)),
            record(0x0142, words(5, 0) + dib_header(1, 1, 24) + bytes(4)),
            record(0x061D, struct.pack("<I", 0x00F00021) + words(50, 50, 0, 0))],
        "shapes-and-state.wmf": drawing() + [record(0x0106, words(2)), record(0x0104, words(7)),
                                             record(0x0538, words(2, 3, 3, 0, 0, 50, 0, 0, 50, 60, 60, 90, 60, 60, 90)),
                                             record(0x081A, words(0, 50, 50, 100, 100, 100, 0, 0)),
                                             record(0x061C, words(20, 20, 90, 90, 10, 10)),
                                             record(0x0626, words(22, 4, 2, 0)),
                                             record(0x001E), record(0x0103, words(8)), record(0x0127, words(0xFFFF))],
    }
    for name, records in seeds.items():
        path = os.path.join(HERE, "..", "..", "..", "fuzz", "corpus", "metafile", name)
        with open(path, "wb") as out:
            out.write(metafile(records))


if __name__ == "__main__":
    main()
