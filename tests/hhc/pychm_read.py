"""Reads a .chm with python3-chm (chmlib): prints the title and home topic it reports and
every name it enumerates, and extracts every file below OUTDIR."""
import os
import sys

from chm import chmlib
from chm.chm import CHMFile


def main():
    path, outdir = sys.argv[1], sys.argv[2].encode()
    chm = CHMFile()
    if not chm.LoadCHM(path):
        print("cannot open " + path)
        return 2
    out = sys.stdout.buffer
    out.write(b"title=" + chm.title + b"\n")
    out.write(b"home=" + chm.home + b"\n")
    names = []

    def collect(_handle, ui, _context):
        names.append(ui.path)
        return chmlib.CHM_ENUMERATOR_CONTINUE

    chmlib.chm_enumerate(chm.file, chmlib.CHM_ENUMERATE_ALL, collect, None)
    for name in names:
        out.write(b"name=" + name + b"\n")
        if name.endswith(b"/") or not name.startswith(b"/"):
            continue
        result, ui = chmlib.chm_resolve_object(chm.file, name)
        if result != chmlib.CHM_RESOLVE_SUCCESS:
            out.write(b"unresolved=" + name + b"\n")
            continue
        size, data = chmlib.chm_retrieve_object(chm.file, ui, 0, ui.length)
        if size != ui.length:
            out.write(b"short=" + name + b"\n")
        target = os.path.join(outdir, name[1:])
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data or b"")
    return 0


if __name__ == "__main__":
    sys.exit(main())
