"""book_check.py CHM EXTRACTED MANUAL URL: reads back the help file book_bench made from the
manual book_manual.py wrote in MANUAL and served at URL (its folder, ending in "/").
EXTRACTED is the .chm unpacked by chmlib's extract_chmLib. Prints one line of eight numbers:

PAGES_IN PAGES LINKS NOT_LOCAL CONTENTS KEYWORDS FOUND PROBES

A stored page is known by its title, as the manual's own copy has it, so the file names the
converter chose do not matter. LINKS counts the A, AREA and LINK references in stored pages
that lead to a stored page (fragments within a page aside); NOT_LOCAL those of them that
still point at the server or at no file of the help file. CONTENTS and KEYWORDS count the
<OBJECT type="text/sitemap"> entries with a Name in the .hhc and .hhk, as viewers read them.
FOUND counts the probe words that python3-chm's full-text search finds in their page. What
misses is told on standard error."""
import html.parser
import os
import posixpath
import sys
import urllib.parse

from chm import _chmlib
from chm.chm import CHMFile

LINK_TAGS = ("a", "area", "link")


class Page(html.parser.HTMLParser):
    """A page's title, link targets and ids; each heading h2/h3 in a section with an id."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.title, self.in_title = "", False
        self.links, self.ids, self.sections, self.headings = [], set(), [], 0
        self.feed(text)
        self.close()

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "title":
            self.in_title = True
        if tag in LINK_TAGS and attrs.get("href"):
            self.links.append(attrs["href"].strip())
        for name in ("id", "name") if tag == "a" else ("id",):
            if attrs.get(name):
                self.ids.add(attrs[name])
        if tag == "section":
            self.sections.append(bool(attrs.get("id")))
        if tag in ("h2", "h3") and (attrs.get("id") or (self.sections and self.sections[-1])):
            self.headings += 1

    def handle_endtag(self, tag):
        if tag == "title":
            self.in_title = False
        if tag == "section" and self.sections:
            self.sections.pop()

    def handle_data(self, data):
        if self.in_title:
            self.title += data


def read_page(path):
    raw = open(path, "rb").read()
    return Page(raw.decode("utf-8", errors="replace"))


def sitemap_entries(path):
    """The Name and Local of each sitemap object, as kchmviewer collects them."""

    class Sitemap(html.parser.HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=True)
            self.entries, self.current = [], None

        def handle_starttag(self, tag, attrs):
            attrs = {k: v or "" for k, v in attrs}
            if tag == "object" and attrs.get("type", "").lower() == "text/sitemap":
                self.current = {}
            elif tag == "param" and self.current is not None:
                self.current[attrs.get("name", "").lower()] = attrs.get("value", "")

        def handle_endtag(self, tag):
            if tag == "object" and self.current is not None:
                if self.current.get("name"):
                    self.entries.append(self.current)
                self.current = None

    parser = Sitemap()
    parser.feed(open(path, "rb").read().decode("cp1252", errors="replace"))
    parser.close()
    return parser.entries


def find_one(root, suffix):
    found = [os.path.join(d, f) for d, _, files in os.walk(root) for f in files
             if f.lower().endswith(suffix)]
    return found[0] if len(found) == 1 else None


def main():
    chm_path, extracted, manual, url = sys.argv[1:5]
    source = os.path.join(manual, "html")
    pages = open(os.path.join(manual, "pages.txt"), encoding="utf-8").read().split()
    probes = [line.split() for line in open(os.path.join(manual, "probes.txt"), encoding="utf-8")
              if line.strip()]
    say = sys.stderr.write

    # The manual's own HTML files by title, and the stored ones by title.
    source_by_title, source_title = {}, {}
    for d, _, files in os.walk(source):
        for f in files:
            if f.endswith(".html"):
                rel = os.path.relpath(os.path.join(d, f), source).replace(os.sep, "/")
                title = read_page(os.path.join(d, f)).title.strip()
                source_by_title[title] = rel
                source_title[rel] = title
    stored, stored_by_source = {}, {}
    for d, _, files in os.walk(extracted):
        for f in files:
            if f.lower().endswith((".html", ".htm")):
                path = os.path.join(d, f)
                rel = os.path.relpath(path, extracted).replace(os.sep, "/")
                page = read_page(path)
                stored[rel] = page
                origin = source_by_title.get(page.title.strip())
                if origin:
                    stored_by_source[origin] = rel
    pages_in = sum(1 for p in pages if p in stored_by_source)
    for p in pages:
        if p not in stored_by_source:
            say("page not in the help file: %s\n" % p)
    extra = sorted(set(stored_by_source) - set(pages))
    if extra:
        say("stored besides the manual's pages: %s\n" % " ".join(extra))

    links = not_local = 0
    for rel, page in sorted(stored.items()):
        for href in page.links:
            parts = urllib.parse.urlsplit(href)
            if not parts.scheme and not parts.netloc and not parts.path:
                continue  # within the page
            if parts.scheme in ("http", "https"):
                if href.startswith(url):
                    origin = urllib.parse.unquote(parts.path[len(urllib.parse.urlsplit(url).path):])
                    if origin in stored_by_source:
                        links += 1
                        not_local += 1
                        say("%s: link to a stored page not local: %s\n" % (rel, href))
                continue
            if parts.scheme:
                continue
            target = posixpath.normpath(posixpath.join(posixpath.dirname(rel),
                                                       urllib.parse.unquote(parts.path)))
            if target in stored:
                links += 1
                if parts.fragment and parts.fragment not in stored[target].ids:
                    say("%s: link %s names no anchor of %s\n" % (rel, href, target))
            elif os.path.splitext(target)[1].lower() in (".html", ".htm"):
                links += 1
                not_local += 1
                say("%s: link %s leads to no file of the help file\n" % (rel, href))

    hhc, hhk = find_one(extracted, ".hhc"), find_one(extracted, ".hhk")
    contents = sitemap_entries(hhc) if hhc else []
    keywords = sitemap_entries(hhk) if hhk else []
    for kind, entries in (("contents", contents), ("index", keywords)):
        for entry in entries:
            local = urllib.parse.urlsplit(entry.get("local", ""))
            target = posixpath.normpath(urllib.parse.unquote(local.path))
            if target not in stored:
                say("%s entry %r leads to no page: %r\n" % (kind, entry["name"], entry.get("local")))
            elif local.fragment and local.fragment not in stored[target].ids:
                say("%s entry %r names no anchor of %s\n" % (kind, entry["name"], target))
    headings = sum(stored[s].headings for s in stored_by_source.values())
    say("contents: %d entries for %d stored pages and %d headings h2/h3 with an id or in a "
        "section with one\n" % (len(contents), len(stored_by_source), headings))

    chm = CHMFile()
    found = 0
    if chm.LoadCHM(chm_path):
        for word, page in probes:
            hits = []
            _chmlib.search(chm.file, word.encode(), 1, 0, lambda _t, u: hits.append(u))
            where = stored_by_source.get(page)
            if where and any(h.decode(errors="replace").lstrip("/") == where for h in hits):
                found += 1
            else:
                say("search for %s: %s, not %s\n" % (word, [h.decode() for h in hits], where))
    print(pages_in, len(pages), links, not_local, len(contents), len(keywords), found,
          len(probes))
    return 0


if __name__ == "__main__":
    sys.exit(main())
