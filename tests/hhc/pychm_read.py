"""Reads a .chm with python3-chm (chmlib): prints the language it reports and every topic with
its title as viewers look them up (#TOPICS, then #URLTBL and #URLSTR for the address, #STRINGS
for the title)."""
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
    path = sys.argv[1]
    chm = CHMFile()
    if not chm.LoadCHM(path):
        print("cannot open " + path)
        return 2
    out = sys.stdout.buffer
    out.write(b"lcid=0x%04x\n" % chm.lcid)
    for name, title in topics(chm):
        out.write(b"topic=" + name + (b"" if title is None else b"\t" + title) + b"\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
