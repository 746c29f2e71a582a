"""Looks words up in a .chm's full-text index with python3-chm's own search (chmlib): for each
query "WORD WHOLE TITLES" (the flags 0 or 1) after the .chm's path, prints one line: the number
the search returned, then the topics it reported, by file name, sorted."""
import os
import sys

from chm import _chmlib
from chm.chm import CHMFile


def main():
    chm = CHMFile()
    if not chm.LoadCHM(sys.argv[1]):
        print("cannot open " + sys.argv[1])
        return 2
    out = sys.stdout.buffer
    args = [os.fsencode(a) for a in sys.argv[2:]]
    for i in range(0, len(args), 3):
        word, whole, titles = args[i], int(args[i + 1]), int(args[i + 2])
        found = []
        result = _chmlib.search(chm.file, word, whole, titles, lambda _t, url: found.append(url))
        out.write(b" ".join([str(int(result)).encode()] + sorted(set(found))) + b"\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
