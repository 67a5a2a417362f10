"""Packs a folder into ZIP archives the way other tools write them, for the extraction tests.

    python3 thirdpartyzips.py SOURCE_FOLDER OUTPUT_FOLDER

Writes with Python's zipfile: plain.zip (".bin" files stored, the rest deflated, folder
entries, a 1000-byte comment, files named "*readonly*" with the read-only attribute),
comment64k.zip (the largest comment), streamed.zip (written to an unseekable stream, so every
file has a data descriptor), and nodirectory.zip / streamed-nodirectory.zip (the same archives
cut before their central directory).
"""
import io
import os
import sys
import zipfile


class Unseekable(io.RawIOBase):
    def __init__(self, target):
        self.target = target

    def writable(self):
        return True

    def write(self, data):
        return self.target.write(data)


def members(source):
    for root, dirs, names in os.walk(source):
        dirs.sort()
        rel = os.path.relpath(root, source)
        if rel != ".":
            yield rel.replace(os.sep, "/") + "/", root
        for name in sorted(names):
            arc = name if rel == "." else os.path.join(rel, name).replace(os.sep, "/")
            yield arc, os.path.join(root, name)


def fill(archive, source):
    for arc, path in members(source):
        if arc.endswith("/"):
            archive.write(path, arc)
            continue
        info = zipfile.ZipInfo.from_file(path, arc)
        info.compress_type = zipfile.ZIP_STORED if arc.endswith(".bin") else zipfile.ZIP_DEFLATED
        if "readonly" in arc:
            info.external_attr |= 0x01
        with open(path, "rb") as f:
            archive.writestr(info, f.read())


def cut_before_directory(path, out):
    with zipfile.ZipFile(path) as archive:
        start = archive.start_dir
    with open(path, "rb") as f:
        data = f.read()[:start]
    with open(out, "wb") as f:
        f.write(data)


def main():
    source, out = sys.argv[1], sys.argv[2]
    with zipfile.ZipFile(os.path.join(out, "plain.zip"), "w") as archive:
        archive.comment = b"c" * 1000
        fill(archive, source)
    with zipfile.ZipFile(os.path.join(out, "comment64k.zip"), "w") as archive:
        archive.comment = b"K" * 65535
        fill(archive, source)
    with open(os.path.join(out, "streamed.zip"), "wb") as f:
        with zipfile.ZipFile(Unseekable(f), "w") as archive:
            fill(archive, source)
    cut_before_directory(os.path.join(out, "plain.zip"), os.path.join(out, "nodirectory.zip"))
    cut_before_directory(os.path.join(out, "streamed.zip"),
                         os.path.join(out, "streamed-nodirectory.zip"))


if __name__ == "__main__":
    main()
