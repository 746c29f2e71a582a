// Draws KORVA's pictures (icon in the hicolor sizes, picture buttons, chain links, arrows,
// logo) as PNG files.
// The PNGs in app/artwork are what the program embeds and the package installs; rerun this
// only to redraw them:
//   g++ -std=c++20 -fPIC draw_artwork.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw
//   QT_QPA_PLATFORM=offscreen /tmp/draw app/artwork [/tmp/preview]
// The optional second directory gets 8x enlargements over a checkerboard, for looking at.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

// The 16-colour palette plus a steel outline grey, keyed by the letters the pixel grids below use.
const std::map<char, QRgb> kPalette = {
    {'k', qRgb(0x00, 0x00, 0x00)}, {'n', qRgb(0x00, 0x00, 0x80)}, {'B', qRgb(0x00, 0x00, 0xff)},
    {'t', qRgb(0x00, 0x80, 0x80)}, {'c', qRgb(0x00, 0xff, 0xff)}, {'G', qRgb(0x00, 0x80, 0x00)},
    {'l', qRgb(0x00, 0xff, 0x00)}, {'o', qRgb(0x80, 0x80, 0x00)}, {'y', qRgb(0xff, 0xff, 0x00)},
    {'g', qRgb(0x80, 0x80, 0x80)}, {'s', qRgb(0xc0, 0xc0, 0xc0)}, {'w', qRgb(0xff, 0xff, 0xff)},
    {'d', qRgb(0x40, 0x40, 0x40)},
};

const QRgb kFace = qRgb(0xc0, 0xc0, 0xc0);
const QRgb kLight = qRgb(0xdf, 0xdf, 0xdf);
const QRgb kShadow = qRgb(0x80, 0x80, 0x80);

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    // 96 dpi, so point sizes mean what they mean on the target screens.
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    return img;
}

// Paints a grid of palette letters at (x, y); '.' leaves the pixel alone.
void stamp(QImage& img, int x, int y, const std::vector<std::string>& rows) {
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
            auto it = kPalette.find(rows[r][c]);
            if (it != kPalette.end() && img.valid(x + c, y + r)) {
                img.setPixel(x + c, y + r, it->second);
            }
        }
    }
}

void fill(QImage& img, int x0, int y0, int x1, int y1, QRgb colour) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            img.setPixel(x, y, colour);
        }
    }
}

void frame(QImage& img, int x0, int y0, int x1, int y1, QRgb topLeft, QRgb bottomRight) {
    for (int x = x0; x <= x1; ++x) {
        img.setPixel(x, y0, topLeft);
        img.setPixel(x, y1, bottomRight);
    }
    for (int y = y0; y <= y1; ++y) {
        img.setPixel(x0, y, topLeft);
        img.setPixel(x1, y, bottomRight);
    }
    // The bottom-left and top-right corners belong to the shadow, as on classic buttons.
    img.setPixel(x0, y1, bottomRight);
    img.setPixel(x1, y0, bottomRight);
}

const std::vector<std::string> kLetterK16 = {
    "yy...yy", "yy..yy.", "yy.yy..", "yyyy...", "yy.yy..", "yy..yy.", "yy...yy",
};

const std::vector<std::string> kLetterK32 = {
    "yyy....yyy", "yyy...yyy.", "yyy..yyy..", "yyy.yyy...", "yyyyyy....", "yyyyy.....",
    "yyyyyy....", "yyy.yyy...", "yyy..yyy..", "yyy...yyy.", "yyy....yyy",
};

// Same shape in another colour, for the letter's drop shadow.
std::vector<std::string> recolour(std::vector<std::string> rows, char from, char to) {
    for (auto& row : rows) {
        for (auto& ch : row) {
            if (ch == from) {
                ch = to;
            }
        }
    }
    return rows;
}

QImage icon16() {
    QImage img = blank(16, 16);
    stamp(img, 0, 0,
          {
              "................",
              ".kkkkkkkkkkkk...",
              ".knnBBBBBBBBBk..",
              ".knnBBBBBBBBBwk.",
              ".knnBBBBBBBBBsk.",
              ".knnBBBBBBBBBwk.",
              ".knnBBBBBBBBBsk.",
              ".knnBBBBBBBBBwk.",
              ".knnBBBBBBBBBsk.",
              ".knnBBBBBBBBBwk.",
              ".knnBBBBBBBBBsk.",
              ".knnBBBBBBBBBwk.",
              ".knnBBBBBBBBBsk.",
              ".kkkkkkkkkkkkwk.",
              "..kwswswswswswk.",
              "...kkkkkkkkkkkk.",
          });
    // A lighter line on the spine's fold makes it read as a book, not a box.
    for (int y = 2; y <= 12; ++y) {
        img.setPixel(3, y, kPalette.at('t'));
    }
    stamp(img, 6, 5, recolour(kLetterK16, 'y', 'k'));
    stamp(img, 5, 4, kLetterK16);
    return img;
}

// Ocean, land and outline of a 14-pixel globe; lit from the top left.
const std::vector<std::string> kGlobe = {
    ".....kkkk.....", "...kkcBBBkk...", "..kcGGcBBBBk..", ".kcGGGGGBBGBk.", ".kcGGGGBBBGGk.",
    "kBBGGGGBBBGGGk", "kBBBBGGBBGGGGk", "kBBBBBGGBBGGnk", "kBBBBBGGGBBGnk", ".kBBBBGGGBBnk.",
    ".kBBBBBGBBBnk.", "..kBBBBGBBnk..", "...kknnnnkk...", ".....kkkk.....",
};

QImage icon32() {
    QImage img = blank(32, 32);
    const QRgb black = kPalette.at('k');
    const QRgb white = kPalette.at('w');

    // Page block: the cover's outline pushed 3 px down and right, edges joined diagonally.
    const int x0 = 2, y0 = 1, x1 = 24, y1 = 26, depth = 3;
    for (int k = depth; k >= 1; --k) {
        fill(img, x0 + k, y0 + k, x1 + k, y1 + k, white);
    }
    for (int x = x0 + depth; x <= x1 + depth; ++x) {
        img.setPixel(x, y1 + depth, black);
    }
    for (int y = y0 + depth; y <= y1 + depth; ++y) {
        img.setPixel(x1 + depth, y, black);
    }
    for (int k = 1; k < depth; ++k) {
        img.setPixel(x1 + k, y0 + k, black);
        img.setPixel(x0 + k, y1 + k, black);
    }
    // Grey every other page line along the edges.
    for (int y = y0 + 2; y < y1 + depth; y += 2) {
        if (img.pixel(x1 + 1, y) == white) {
            img.setPixel(x1 + 1, y, kFace);
        }
    }
    for (int x = x0 + 2; x < x1 + depth; x += 2) {
        if (img.pixel(x, y1 + 2) == white) {
            img.setPixel(x, y1 + 2, kFace);
        }
    }

    // Cover, spine and the fold between them.
    fill(img, x0, y0, x1, y1, black);
    fill(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, kPalette.at('B'));
    fill(img, x0 + 1, y0 + 1, x0 + 4, y1 - 1, kPalette.at('n'));
    for (int y = y0 + 1; y < y1; ++y) {
        img.setPixel(x0 + 5, y, kPalette.at('t'));
    }
    for (int x = x0 + 6; x < x1; ++x) {
        img.setPixel(x, y0 + 1, kPalette.at('c'));
    }

    stamp(img, 12, 5, recolour(kLetterK32, 'y', 'k'));
    stamp(img, 11, 4, kLetterK32);
    // The web page the help file is made from, as a globe resting on the corner.
    stamp(img, 18, 18, kGlobe);
    return img;
}

// A 57x17 picture button, raised or pushed in, with the label centred on its face.
QImage button(const QString& label, bool down) {
    QImage img = blank(57, 17);
    img.fill(kFace);
    const int r = img.width() - 1, b = img.height() - 1;
    const QRgb black = kPalette.at('k'), white = kPalette.at('w');
    if (down) {
        frame(img, 0, 0, r, b, black, white);
        frame(img, 1, 1, r - 1, b - 1, kShadow, kLight);
    } else {
        frame(img, 0, 0, r, b, white, black);
        frame(img, 1, 1, r - 1, b - 1, kLight, kShadow);
    }

    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font("DejaVu Sans");
    font.setPointSizeF(8);
    // Full hinting snaps stems to whole pixels, so the smoothed text stays sharp.
    font.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(font);
    p.setPen(Qt::black);
    // Vertically centre the capitals rather than each word's ink: every label then shares
    // one baseline, and descenders keep clear of the bevel even when pushed.
    const QFontMetricsF metrics(font, &img);
    const QRectF ink = metrics.tightBoundingRect(label);
    const int shift = down ? 1 : 0;
    const double x = std::round((img.width() - ink.width()) / 2.0 - ink.left()) + shift;
    const double y = std::floor((img.height() + metrics.capHeight()) / 2.0) + shift;
    p.drawText(QPointF(x, y), label);
    return img;
}

// Two interlocking chain links, steel-grey, lying along the picture's diagonal. Drawn by hand:
// at this size computed rings blur the crossings, where one link must visibly pass over the other.
QImage links() {
    QImage img = blank(15, 17);
    stamp(img, 0, 0,
          {
              "..........ddd..",
              ".........dwwsd.",
              "........dwddssd",
              ".......dwd..dgd",
              "......dwd...dgd",
              ".....dwwd..dggd",
              ".....ddd...dgd.",
              "....dwwsd.dgd..",
              "...dwddsddgd...",
              "..dwd.dsggd....",
              ".dwd...ddd.....",
              "dwwd..dggd.....",
              "dwd...dgd......",
              "dwd..dgd.......",
              "dssddgd........",
              ".dsggd.........",
              "..ddd..........",
          });
    return img;
}

// Solid black triangle, 10 px wide and 5 tall, centred in 18x13.
QImage arrow(bool up) {
    QImage img = blank(18, 13);
    for (int row = 0; row < 5; ++row) {
        // Row 0 is the base: at the bottom when pointing up, at the top when pointing down.
        const int y = up ? 8 - row : 4 + row;
        for (int x = 4 + row; x <= 13 - row; ++x) {
            img.setPixel(x, y, kPalette.at('k'));
        }
    }
    return img;
}

// "KORVA" in bold italic, its ink scaled to fill the 98x23 picture.
QImage logo() {
    QImage img = blank(98, 23);
    QFont font("DejaVu Sans");
    font.setPixelSize(64);
    font.setBold(true);
    font.setItalic(true);
    font.setStretch(QFont::Condensed);
    QPainterPath text;
    text.addText(0, 0, font, "KORVA");
    // The font's own slant is slight; lean the letters further so the logo reads as italic.
    const QPainterPath path = QTransform().shear(-0.12, 0).map(text);
    const QRectF ink = path.boundingRect();
    // Fill the height; squeeze sideways only as far as the width demands.
    const double sy = img.height() / ink.height();
    const double sx = std::min(sy, img.width() / ink.width());
    QTransform t;
    t.translate((img.width() - ink.width() * sx) / 2, 0);
    t.scale(sx, sy);
    t.translate(-ink.left(), -ink.top());

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(t.map(path), QColor(0x00, 0x00, 0x80));
    return img;
}

// 8x enlargement over a checkerboard, so transparent pixels are visible.
QImage preview(const QImage& img) {
    const int s = 8;
    QImage out(img.width() * s, img.height() * s, QImage::Format_ARGB32);
    QPainter p(&out);
    for (int y = 0; y < out.height(); y += s) {
        for (int x = 0; x < out.width(); x += s) {
            const bool odd = ((x + y) / s) % 2;
            p.fillRect(x, y, s, s, odd ? QColor(0xff, 0xc0, 0xff) : QColor(0xe0, 0xff, 0xe0));
        }
    }
    p.drawImage(out.rect(), img);
    return out;
}

}  // namespace

// A larger icon for the hicolor sizes: the pixel drawing with every pixel made a square of
// `factor`, so it stays as sharp as the small ones.
QImage enlarged(const QImage& img, int factor) {
    QImage big = img.scaled(img.width() * factor, img.height() * factor, Qt::IgnoreAspectRatio,
                            Qt::FastTransformation);
    big.setDotsPerMeterX(img.dotsPerMeterX());
    big.setDotsPerMeterY(img.dotsPerMeterY());
    return big;
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [PREVIEW_DIR]\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const std::vector<std::pair<QString, QImage>> pictures = {
        {"korva-16.png", icon16()},
        {"korva-32.png", icon32()},
        {"korva-48.png", enlarged(icon16(), 3)},
        {"korva-64.png", enlarged(icon32(), 2)},
        {"korva-128.png", enlarged(icon32(), 4)},
        {"korva-256.png", enlarged(icon32(), 8)},
        {"about-up.png", button("About", false)},
        {"about-down.png", button("About", true)},
        {"setup-up.png", button("Setup", false)},
        {"setup-down.png", button("Setup", true)},
        {"links.png", links()},
        {"arrow-down.png", arrow(false)},
        {"arrow-up.png", arrow(true)},
        {"logo.png", logo()},
    };
    int failed = 0;
    for (const auto& [name, img] : pictures) {
        if (!img.save(out.filePath(name), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
            ++failed;
        }
        if (argc > 2) {
            preview(img).save(QDir(QString::fromLocal8Bit(argv[2])).filePath(name), "PNG");
        }
    }
    return failed ? 1 : 0;
}
