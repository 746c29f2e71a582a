"""Reads a .chm with python3-chm (chmlib): prints the title, home topic and language it
reports, every topic with its title as viewers look them up (#TOPICS, then #URLTBL and
#URLSTR for the address, #STRINGS for the title), and every name it enumerates; extracts every
file below OUTDIR."""
import os
import struct
import sys

from chm import chmlib
from chm.chm import CHMFile


def read(chm, name):
    result, ui = chmlib.chm_resolve_object(chm.file, name)
    if result != chmlib.CHM_RESOLVE_SUCCESS:
        return None
    return chmlib.chm_retrieve_object(chm.file, ui, 0, ui.length)[1] or b""


def c_string(data, offset):
    return data[offset:data.index(b"\0", offset)]


# kchmviewer's lookup: a title offset past #STRINGS means the topic has none.
def topics(chm):
    tables = [read(chm, n) for n in (b"/#TOPICS", b"/#URLTBL", b"/#URLSTR", b"/#STRINGS")]
    if None in tables:
        return []
    topic, urltbl, urlstr, strings = tables
    found = []
    for at in range(0, len(topic), 16):
        title, url = struct.unpack_from("<II", topic, at + 4)
        url_string = struct.unpack_from("<I", urltbl, url + 8)[0]
        name = c_string(urlstr, url_string + 8)
        found.append((name, c_string(strings, title) if title < len(strings) else None))
    return found


def main():
    path, outdir = sys.argv[1], sys.argv[2].encode()
    chm = CHMFile()
    if not chm.LoadCHM(path):
        print("cannot open " + path)
        return 2
    out = sys.stdout.buffer
    out.write(b"title=" + chm.title + b"\n")
    out.write(b"home=" + chm.home + b"\n")
    out.write(b"lcid=0x%04x\n" % chm.lcid)
    for name, title in topics(chm):
        out.write(b"topic=" + name + (b"" if title is None else b"\t" + title) + b"\n")
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
