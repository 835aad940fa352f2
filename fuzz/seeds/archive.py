#!/usr/bin/env python3
"""Writes the seeds of archive_fuzzer into OUTDIR: small packages made by
`zip` and by Python's zipfile (stored, deflated, ZIP64 records, data
descriptors, UTF-8 and GBK names, comments), packages laid out as this
program writes them, and hostile ones (escaping names, device names, shared
and overlapping entries, lying sizes, a small bomb, truncation).

    archive.py OUTDIR
"""
import io
import os
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def save(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


def with_zipfile(name, entries, compression=zipfile.ZIP_DEFLATED, force_zip64=False,
                 comment=b"", stream=False):
    buffer = io.BytesIO()

    class Unseekable(io.RawIOBase):
        # zipfile writes data descriptors when it cannot seek back.
        def writable(self):
            return True

        def write(self, b):
            return buffer.write(b)

    target = Unseekable() if stream else buffer
    with zipfile.ZipFile(target, "w", compression) as z:
        z.comment = comment
        for entry, content in entries:
            info = zipfile.ZipInfo(entry, date_time=(2020, 10, 24, 12, 0, 0))
            info.compress_type = compression
            if isinstance(entry, str) and not entry.isascii():
                info.flag_bits |= 0x800
            if force_zip64:
                with z.open(info, "w", force_zip64=True) as f:
                    f.write(content)
            else:
                z.writestr(info, content)
    save(name, buffer.getvalue())
    return buffer.getvalue()


note = "笔记内容\r\n第二行\r\n".encode("gbk")
plain = with_zipfile("zipfile-deflated", [("Log/", b""), ("Log/a.txt", note),
                                          ("Log/b.rc", bytes(range(64)))])
with_zipfile("zipfile-stored", [("Log/", b""), ("Log/a.txt", note)], zipfile.ZIP_STORED)
with_zipfile("zipfile-zip64", [("Log/a.txt", note), ("b.txt", b"x")], force_zip64=True)
with_zipfile("zipfile-descriptor", [("Log/a.txt", note), ("Log/c.txt", b"")], stream=True)
with_zipfile("zipfile-utf8", [("日志/", b""), ("日志/笔记.txt", note)], comment=b"comment")
with_zipfile("zipfile-escapes", [("../up.txt", b"u"), ("/abs.txt", b"a"), ("C:/d.txt", b"d"),
                                 ("a/../../x.txt", b"x"), ("ok.txt", b"k")])
with_zipfile("zipfile-devices", [("CON .txt", b"c"), ("nul .txt", b"n"), ("a/LPT1", b"l"),
                                 ("CONIN$", b"i"), ("dots./x", b"d"), ("ok/y.txt", b"y")])
with_zipfile("zipfile-collisions", [("Log/A.txt", b"1"), ("log/a.TXT", b"2"), ("Log/old.txt", b"n"),
                                    ("f", b"file"), ("f/", b"")])

# The program's own layout: GBK names without the UTF-8 flag, version made by
# 0x0B17, the "UT" extra field of 17 and 9 bytes.
def own(entries, wrong_crc=None):
    local, central, offset = b"", b"", 0
    for name, content, folder in entries:
        method = 0 if folder else 8
        data = content if folder else zlib.compress(content, 8)[2:-4]
        crc = zlib.crc32(content) ^ (1 if name == wrong_crc else 0)
        ut_local = b"UT" + struct.pack("<HBIII", 13, 7, 1603540800, 1603540800, 1603540800)
        ut_central = b"UT" + struct.pack("<HBI", 5, 7, 1603540800)
        header = struct.pack("<4sHHHHHIIIHH", b"PK\x03\x04", 20, 0, method, 0x6000, 0x5158,
                             crc, len(data), len(content), len(name), len(ut_local))
        local_entry = header + name + ut_local + data
        central += struct.pack("<4sHHHHHHIIIHHHHHII", b"PK\x01\x02", 0x0B17, 20, 0, method,
                               0x6000, 0x5158, crc, len(data), len(content), len(name),
                               len(ut_central), 0, 0, 0, 0x41C00010 if folder else 0x20,
                               offset) + name + ut_central
        local += local_entry
        offset += len(local_entry)
    end = struct.pack("<4sHHHHIIH", b"PK\x05\x06", 0, 0, len(entries), len(entries),
                      len(central), len(local), 0)
    return local + central + end


own_package = own([("日志/".encode("gbk"), b"", True), ("日志/笔记.txt".encode("gbk"), note, False),
                   (b"Help/", b"", True), ("Help/帮助文档.txt".encode("gbk"), b"help " * 40, False)])
save("own-layout", own_package)
# Headers that agree, data that does not: found only when the data is read.
save("wrong-crc", own([(b"a.txt", note, False), (b"b.txt", b"second", False)], wrong_crc=b"b.txt"))

# Hostile: two central entries sharing one local entry, a local entry whose
# data holds another, sizes that lie, a small bomb, a cut-off package.
cd_at = own_package.rfind(b"PK\x01\x02", 0, own_package.rfind(b"PK\x05\x06"))
first_cd = own_package.find(b"PK\x01\x02")
record = own_package[cd_at:own_package.rfind(b"PK\x05\x06")]
shared = own_package[:own_package.rfind(b"PK\x05\x06")] + record
save("shared-local", shared + struct.pack("<4sHHHHIIH", b"PK\x05\x06", 0, 0, 5, 5,
                                         len(shared) - first_cd, first_cd, 0))
lying = bytearray(plain)
at = lying.find(b"PK\x01\x02")
struct.pack_into("<I", lying, at + 24, 1 << 20)
save("lying-size", bytes(lying))
save("bomb", with_zipfile("bomb-tmp", [("z.txt", b"\0" * 2_000_000)]))
os.remove(os.path.join(out, "bomb-tmp"))
save("truncated", plain[: len(plain) // 2])
save("empty-archive", b"PK\x05\x06" + b"\0" * 18)

# The zip tool itself: a small tree, folders included, deflated and stored.
with tempfile.TemporaryDirectory() as tmp:
    tree = os.path.join(tmp, "Default")
    os.makedirs(os.path.join(tree, "Log", "Sub"))
    with open(os.path.join(tree, "Log", "a.txt"), "wb") as f:
        f.write(note * 3)
    with open(os.path.join(tree, "Log", "Sub", "b.gz"), "wb") as f:
        f.write(b"\x1f\x8b" + bytes(30))
    with open(os.path.join(tree, "top.txt"), "wb") as f:
        f.write(b"")
    for name, options in (("zip-deflated", ["-r", "-8"]), ("zip-stored", ["-r", "-0"]),
                          ("zip-streamed", ["-r", "-fd", "-fz"])):
        archive = os.path.join(tmp, name + ".zip")
        subprocess.run(["zip", "-q", "-X", *options, archive, "."], cwd=tree, check=True)
        with open(archive, "rb") as f:
            save(name, f.read())
