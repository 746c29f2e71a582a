"""book_manual.py [--tiny] OUT: the manual book_bench converts. Writes reStructuredText
sources for 16 chapters (each with sections and subsections, a keywords line and words of its
own) and builds them with Sphinx's html builder into OUT/html; the index page's toctree names
every chapter, so one link from it reaches each. With --tiny, three pages written by hand
instead, so that a smoke run needs no Sphinx. Writes OUT/pages.txt (the manual's pages, the
index first) and OUT/probes.txt ("WORD PAGE": a word that only that page's body text holds)."""
import os
import random
import subprocess
import sys

# Each chapter's subject and the words only it uses; the first two are its probe words.
CHAPTERS = [
    ("Lighthouses", ["lamplighter", "fresnel", "foghorn", "beacon", "keeper"]),
    ("Beekeeping", ["apiary", "propolis", "brood", "nectar", "swarm"]),
    ("Glassblowing", ["gaffer", "annealing", "cullet", "furnace", "punty"]),
    ("Bookbinding", ["endpaper", "signatures", "awl", "spine", "vellum"]),
    ("Orchards", ["quince", "rootstock", "grafting", "blossom", "cider"]),
    ("Clockmaking", ["escapement", "pendulum", "mainspring", "pinion", "dial"]),
    ("Cartography", ["isobath", "graticule", "contour", "legend", "atlas"]),
    ("Sailmaking", ["grommet", "luff", "leech", "canvas", "batten"]),
    ("Pottery", ["kiln", "slipware", "glaze", "wheel", "stoneware"]),
    ("Weaving", ["heddle", "warp", "shuttle", "loom", "tapestry"]),
    ("Astronomy", ["nebula", "parallax", "telescope", "comet", "eclipse"]),
    ("Cheesemaking", ["rennet", "curds", "whey", "brine", "cellar"]),
    ("Blacksmithing", ["anvil", "quenching", "tongs", "forge", "billet"]),
    ("Falconry", ["jesses", "mews", "lure", "hood", "perch"]),
    ("Mountaineering", ["crampons", "belay", "carabiner", "summit", "glacier"]),
    ("Perfumery", ["bergamot", "sillage", "absolute", "vetiver", "musk"]),
]

# Words every chapter may use, so that the pages read as text and share most of it.
COMMON = ("the a of and to in is for on with as by this that from each when how which must "
          "step tool work hand material method practice season care time first later part "
          "shape measure check record follow guide example result simple careful").split()

SECTIONS = ["History", "Tools", "Methods", "Safety"]
SUBSECTIONS = ["Early days", "Today"]

CONF = """project = 'Bench Manual'
copyright = 'KORVA bench'
language = 'en'
html_title = 'Bench Manual'
"""


def paragraph(rng, own, sentences):
    """Sentences of common words with one of the chapter's own words in each."""
    out = []
    for _ in range(sentences):
        words = rng.choices(COMMON, k=rng.randint(8, 14))
        words.insert(rng.randrange(len(words)), rng.choice(own))
        out.append(" ".join(words).capitalize() + ".")
    return " ".join(out)


def chapter_rst(number, subject, own):
    rng = random.Random(number)
    name = "%s" % subject
    lines = [".. meta::", "   :keywords: %s, %s" % (subject.lower(), own[2]), "",
             name, "=" * len(name), "",
             "This chapter is about %s; its words are %s and %s." % (
                 subject.lower(), own[0], own[1]), ""]
    for section in SECTIONS:
        title = "%s of %s" % (section, subject.lower())
        lines += [title, "-" * len(title), "", paragraph(rng, own[2:], 3), ""]
        for sub in SUBSECTIONS:
            subtitle = "%s: %s" % (section, sub)
            lines += [subtitle, "~" * len(subtitle), "", paragraph(rng, own[2:], 2), ""]
    return "\n".join(lines)


def page_name(number):
    return "chapter%02d" % number


def build_sphinx(out):
    src = os.path.join(out, "src")
    os.makedirs(src, exist_ok=True)
    with open(os.path.join(src, "conf.py"), "w", encoding="utf-8") as f:
        f.write(CONF)
    toctree = ["Bench Manual", "============", "",
               "A manual of %d crafts, one chapter each." % len(CHAPTERS), "",
               ".. toctree::", "   :maxdepth: 2", ""]
    probes = []
    for number, (subject, own) in enumerate(CHAPTERS, 1):
        with open(os.path.join(src, page_name(number) + ".rst"), "w", encoding="utf-8") as f:
            f.write(chapter_rst(number, subject, own))
        toctree.append("   " + page_name(number))
        probes += ["%s %s.html" % (word, page_name(number)) for word in own[:2]]
    with open(os.path.join(src, "index.rst"), "w", encoding="utf-8") as f:
        f.write("\n".join(toctree) + "\n")
    html = os.path.join(out, "html")
    result = subprocess.run([sys.executable, "-m", "sphinx", "-q", "-b", "html", src, html],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)
    if result.returncode != 0:
        sys.stderr.write(result.stdout.decode(errors="replace"))
        return None
    pages = ["index.html"] + ["%s.html" % page_name(n) for n in range(1, len(CHAPTERS) + 1)]
    return pages, probes


TINY_STYLE = "body { font-family: serif }\n"


def tiny_page(title, body, links):
    nav = "".join('<li><a href="%s">%s</a></li>' % link for link in links)
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s</title>"
            "<link rel=\"stylesheet\" href=\"style.css\"></head>\n<body><h1>%s</h1>\n%s\n"
            "<ul>%s</ul></body></html>\n" % (title, title, body, nav))


def build_tiny(out):
    html = os.path.join(out, "html")
    os.makedirs(html, exist_ok=True)
    files = {
        "style.css": TINY_STYLE,
        "index.html": tiny_page("Tiny Manual", "<p>Two chapters.</p>",
                                [("chapter01.html", "Lighthouses"),
                                 ("chapter02.html#tools", "Beekeeping tools")]),
        "chapter01.html": tiny_page(
            "Lighthouses", "<h2 id=\"history\">History</h2><p>The lamplighter climbs.</p>"
            "<h3 id=\"lamps\">Lamps</h3><p>A fresnel lens.</p>",
            [("index.html", "Contents"), ("chapter02.html", "Next")]),
        "chapter02.html": tiny_page(
            "Beekeeping", "<h2 id=\"tools\">Tools</h2><p>The apiary smells of propolis.</p>",
            [("index.html", "Contents"), ("chapter01.html#lamps", "Previous")]),
    }
    for name, text in files.items():
        with open(os.path.join(html, name), "w", encoding="utf-8") as f:
            f.write(text)
    return (["index.html", "chapter01.html", "chapter02.html"],
            ["lamplighter chapter01.html", "fresnel chapter01.html",
             "apiary chapter02.html", "propolis chapter02.html"])


def main():
    tiny = sys.argv[1] == "--tiny"
    out = sys.argv[2] if tiny else sys.argv[1]
    built = build_tiny(out) if tiny else build_sphinx(out)
    if built is None:
        return 1
    pages, probes = built
    with open(os.path.join(out, "pages.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(pages) + "\n")
    with open(os.path.join(out, "probes.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(probes) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
