#include "bench/page_generator.h"

#include <cstdint>

namespace bench {

namespace {

constexpr int kImages = 100;  // with kScripts, the ~150 distinct resource addresses
constexpr int kScripts = 50;

// A small linear congruential generator: the same page on every machine and library.
class Random {
public:
    std::uint32_t Next(std::uint32_t below) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33) % below;
    }

private:
    std::uint64_t state_ = 42;
};

void AppendElement(std::string& page, Random& random) {
    const std::string n = std::to_string(random.Next(1000));
    switch (random.Next(10)) {
        case 0:
        case 1:
            page += "<p class=\"c" + n + "\">Some running text of the page, " + n + "</p>\n";
            break;
        case 2:
        case 3:
            page += "<a href=\"page" + n + ".htm\">link " + n + "</a> ";
            break;
        case 4:
            page += "<img src=\"img/pic" + std::to_string(random.Next(kImages)) +
                    ".gif\" width=10 height=20 alt='picture'>";
            break;
        case 5:
            page += "<script src=\"js/lib" + std::to_string(random.Next(kScripts)) +
                    ".js\"></script>\n";
            break;
        case 6:
            page += "<!-- note " + n + " <b>not a tag</b> -->";
            break;
        case 7:
            page += "<script>if (a < " + n + ") { x = \"<p>\"; }</script>\n";
            break;
        case 8:
            page += "<td background=\"bg/b" + std::to_string(random.Next(kImages)) +
                    ".jpg\" align=left>cell</td>";
            break;
        default:
            page += "<div\r\n  id=\"d" + n + "\"><b>bold</b><br></div>";
            break;
    }
}

}  // namespace

std::string GeneratePage(std::size_t bytes) {
    std::string page = "<html><head><title>Benchmark</title></head><body>\n";
    Random random;
    while (page.size() < bytes) {
        AppendElement(page, random);
    }
    page += "</body></html>\n";
    return page;
}

}  // namespace bench
