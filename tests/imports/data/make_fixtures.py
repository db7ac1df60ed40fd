#!/usr/bin/env python3
"""Writes the small zip archives that the zip reader and unpack tests read.

Run once from this folder (python3 make_fixtures.py); the archives it writes
are kept beside it. Each archive shows one case. Archives that a plain zip
writer cannot make (wrong CRCs, cut data, odd names) are written with zipfile
first and then patched here, field by field.
"""
import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
# 2021-03-04 05:06:08 local time: seconds even, as DOS times keep them.
DATE = (2021, 3, 4, 5, 6, 8)

STORED_TEXT = b"Gerber piece export, stored.\r\n" * 3
# Compressible and longer than one 2048-byte read and one 16 KiB input block.
DEFLATED_TEXT = b"".join(b"PIECE %05d 12.50 -3.25\r\n" % i for i in range(1500))


def entry(name, method=zipfile.ZIP_STORED, external_attr=0):
    info = zipfile.ZipInfo(name, DATE)
    info.compress_type = method
    info.external_attr = external_attr
    info.create_system = 0
    return info


def write(name, entries, comment=b""):
    path = os.path.join(HERE, name)
    with zipfile.ZipFile(path, "w") as z:
        for info, data in entries:
            z.writestr(info, data)
        z.comment = comment
    with open(path, "rb") as f:
        return bytearray(f.read())


def save(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(bytes(data))


def central_headers(data):
    """Offsets of the central directory headers, from the end record."""
    end = data.rfind(b"PK\x05\x06")
    count, _, offset = struct.unpack_from("<HII", data, end + 10)
    headers = []
    at = offset
    for _ in range(count):
        headers.append(at)
        n, e, c = struct.unpack_from("<HHH", data, at + 28)
        at += 46 + n + e + c
    return headers


def local_header(data, central):
    return struct.unpack_from("<I", data, central + 42)[0]


def set32(data, at, value):
    struct.pack_into("<I", data, at, value & 0xFFFFFFFF)


def main():
    # One stored and one deflated entry, with an archive comment.
    two = write("two.zip", [(entry("a.tmp"), STORED_TEXT),
                            (entry("b.tmp", zipfile.ZIP_DEFLATED), DEFLATED_TEXT)], b"zipped export")

    # The same archive behind 1,000 bytes of other data.
    save("prefixed.zip", b"\x00\x11" * 500 + two)

    # An entry compressed with bzip2, which the reader does not inflate.
    write("bzip2.zip", [(entry("c.tmp", zipfile.ZIP_BZIP2), DEFLATED_TEXT)])

    # A stored entry with one data byte changed; both headers keep the CRC.
    data = write("crc_data.zip", [(entry("a.tmp"), STORED_TEXT)])
    local = local_header(data, central_headers(data)[0])
    data[local + 30 + len("a.tmp") + 5] ^= 0x20
    save("crc_data.zip", data)

    # A CRC changed only in the central directory, flag bit 3 not set.
    data = write("crc_central.zip", [(entry("a.tmp"), STORED_TEXT)])
    c = central_headers(data)[0]
    set32(data, c + 16, struct.unpack_from("<I", data, c + 16)[0] ^ 1)
    save("crc_central.zip", data)

    # Flag bit 3 set in both headers and the local CRC and sizes zero, as a
    # streaming writer leaves them: accepted.
    def bit3(name, set_flag, central_crc_change):
        data = write(name, [(entry("a.tmp"), STORED_TEXT)])
        c = central_headers(data)[0]
        local = local_header(data, c)
        if set_flag:
            struct.pack_into("<H", data, local + 6, 8)
            struct.pack_into("<H", data, c + 8, 8)
        for at in (14, 18, 22):
            set32(data, local + at, 0)
        if central_crc_change:
            set32(data, c + 16, struct.unpack_from("<I", data, c + 16)[0] ^ 1)
        save(name, data)
    bit3("bit3.zip", True, False)
    bit3("bit3_nobit.zip", False, False)
    bit3("bit3_badcrc.zip", True, True)

    # A stored entry declaring 20 bytes with only 10 bytes of data.
    data = write("stored_short.zip", [(entry("a.tmp"), b"0123456789")])
    c = central_headers(data)[0]
    local = local_header(data, c)
    set32(data, local + 22, 20)
    set32(data, c + 24, 20)
    save("stored_short.zip", data)

    # A complete deflate stream declared 1,000 bytes larger than it inflates.
    data = write("deflate_long.zip", [(entry("b.tmp", zipfile.ZIP_DEFLATED), DEFLATED_TEXT)])
    c = central_headers(data)[0]
    local = local_header(data, c)
    set32(data, local + 22, len(DEFLATED_TEXT) + 1000)
    set32(data, c + 24, len(DEFLATED_TEXT) + 1000)
    save("deflate_long.zip", data)

    # Deflated data cut to 60 %, its compressed size set to the cut length;
    # the central directory moves up behind the shorter data.
    data = write("deflate_cut.zip", [(entry("b.tmp", zipfile.ZIP_DEFLATED), DEFLATED_TEXT)])
    c = central_headers(data)[0]
    local = local_header(data, c)
    start = local + 30 + len("b.tmp")
    compressed = struct.unpack_from("<I", data, c + 20)[0]
    cut = compressed * 6 // 10
    head = bytearray(data[:start])
    set32(head, local + 18, cut)
    central = bytearray(data[c:])
    set32(central, 20, cut)
    end = central.rfind(b"PK\x05\x06")
    set32(central, end + 16, start + cut)
    save("deflate_cut.zip", head + data[start:start + cut] + central)

    # A Unix entry with set-user-id and execute bits in its attributes.
    info = entry("setuid.tmp", external_attr=0o104755 << 16)
    info.create_system = 3
    write("setuid.zip", [(info, STORED_TEXT)])

    # Names that are not plain file names, each behind a good entry.
    for name, bad in (("bad_dotdot.zip", "../evil.tmp"), ("bad_absolute.zip", "/x.tmp"),
                      ("bad_folder.zip", "sub/a.tmp"), ("bad_backslash.zip", "a\\b.tmp"),
                      ("bad_nul.zip", "a_b.tmp")):
        data = write(name, [(entry("good.tmp"), STORED_TEXT), (entry(bad), STORED_TEXT)])
        if name == "bad_nul.zip":
            # zipfile cuts names at a 0 byte; put it in both headers by hand.
            c = central_headers(data)[1]
            local = local_header(data, c)
            data[c + 46 + 1] = 0
            data[local + 30 + 1] = 0
        save(name, data)


if __name__ == "__main__":
    main()
