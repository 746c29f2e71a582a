// What the browser adds: five pages whose scripts load what no tag names, after the kinds of
// documentation sites that do (a navigation tree's index and icons, a style sheet swapped in
// that names images, a search index read with fetch(), module imports, lazy images), served
// from 127.0.0.1. korva-convert makes each help file with the real hhc.exe, with the browser
// and without; chmlib's extract_chmLib reads it back. Counts the script-loaded resources among
// the extracted files, compares two headless Chromium screenshots at 1024x768 of each start
// page (the original from the server; the stored copy from file: once the server is gone) and
// times the browser's cost, the median of several runs each way (`--smoke`: one run, no
// screenshots). Prints
//
//   browser: S of S script-loaded resources stored, start page 0.0 % px different offline, +T s
//
// (the worst page's pixels, the mean time added per page). Exits 1 when a resource is missing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <unistd.h>

#include "tests/support/http_server.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace {

struct Resource {
    std::string path;
    std::string type;
    std::string body;
    bool byScript = false;  // named by no tag and no style sheet the page names
};

struct Page {
    std::string name;
    std::string path;
    std::vector<Resource> resources;
};

std::string Png(const char* color, int width = 48, int height = 48) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(color));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

Resource Html(std::string path, std::string body) {
    return {std::move(path), "text/html", std::move(body)};
}

Resource Script(std::string path, std::string body, bool byScript = false) {
    return {std::move(path), "text/javascript", std::move(body), byScript};
}

std::vector<Page> Pages() {
    std::vector<Page> pages;
    pages.push_back(
        {"navigation tree",
         "/doxy/index.html",
         {Html("/doxy/index.html",
               "<!DOCTYPE html><html><head><meta charset=utf-8><title>Classes</title>"
               "<script src=navtree.js></script></head><body style='margin:0;font:16px sans-serif'>"
               "<div id=side style='float:left;width:220px;background:#eef'></div>"
               "<h1>Class list</h1><p>Here is a list of all classes.</p></body></html>"),
          Script("/doxy/navtree.js",
                 "addEventListener('DOMContentLoaded', () => {\n"
                 "  const data = document.createElement('script');\n"
                 "  data.src = 'navtreedata.js';\n"
                 "  data.onload = () => NAVTREE.forEach(title => {\n"
                 "    const row = document.createElement('div');\n"
                 "    const icon = new Image(); icon.src = 'folderclosed.png';\n"
                 "    row.append(icon, ' ' + title);\n"
                 "    document.getElementById('side').append(row);\n"
                 "  });\n"
                 "  document.head.append(data);\n"
                 "});\n"),
          Script("/doxy/navtreedata.js", "var NAVTREE = ['Overview', 'Classes', 'Files'];\n", true),
          {"/doxy/folderclosed.png", "image/png", Png("#c90", 16, 16), true}}});

    Page swap{"style sheet swapped in",
              "/qt/page.html",
              {Html("/qt/page.html",
                    "<!DOCTYPE html><html><head><title>QString</title>"
                    "<link rel=stylesheet href=style/online.css></head><body>"
                    "<script>document.querySelector('link').href = 'style/offline.css';</script>"
                    "<h1>QString Class</h1><div class=bar></div><ul>"
                    "<li class=i1>one<li class=i2>two<li class=i3>three<li class=i4>four"
                    "<li class=i5>five<li class=i6>six</ul></body></html>"),
               {"/qt/style/online.css", "text/css", "body { font: 20px serif }\n"}}};
    std::string offline =
        "body { font: 16px sans-serif }\n"
        "h1 { background: url(../images/h1.png) repeat-x; height: 48px }\n";
    const char* colors[] = {"#147", "#a22", "#2a2", "#22a", "#aa2", "#a2a", "#2aa"};
    swap.resources.push_back({"/qt/images/h1.png", "image/png", Png(colors[0]), true});
    for (int i = 1; i <= 6; ++i) {
        const std::string image = "/qt/images/i" + std::to_string(i) + ".png";
        offline += ".i" + std::to_string(i) + " { background: url(../images/i" + std::to_string(i) +
                   ".png) no-repeat; padding-left: 56px; height: 48px }\n";
        swap.resources.push_back({image, "image/png", Png(colors[i]), true});
    }
    swap.resources.push_back({"/qt/style/offline.css", "text/css", offline, true});
    pages.push_back(swap);

    pages.push_back(
        {"search index by fetch()",
         "/mkdocs/index.html",
         {Html("/mkdocs/index.html",
               "<!DOCTYPE html><html><head><title>Search</title></head><body>"
               "<h1>Pages</h1><ol id=list></ol><script>\n"
               "fetch('search/search_index.json').then(r => r.json()).then(index =>\n"
               "  index.docs.forEach(doc => {\n"
               "    const item = document.createElement('li');\n"
               "    item.textContent = doc.title;\n"
               "    document.getElementById('list').append(item);\n"
               "  }));\n"
               "</script></body></html>"),
          {"/mkdocs/search/search_index.json", "application/json",
           R"({"docs": [{"title": "Home"}, {"title": "Install"}, {"title": "Usage"}]})", true}}});

    pages.push_back(
        {"module imports",
         "/esm/index.html",
         {Html("/esm/index.html",
               "<!DOCTYPE html><html><head><title>Modules</title>"
               "<script type=module src=js/app.mjs></script></head><body>"
               "<h1>Modules</h1><div id=box style='width:300px;height:100px'></div>"
               "</body></html>"),
          Script("/esm/js/app.mjs", "import {paint} from './lib/paint.mjs';\npaint('box');\n"),
          Script("/esm/js/lib/paint.mjs",
                 "import {accent} from './colors.mjs';\n"
                 "export function paint(id) { document.getElementById(id).style.background = "
                 "accent; }\n",
                 true),
          Script("/esm/js/lib/colors.mjs", "export const accent = '#3a7';\n", true)}});

    pages.push_back(
        {"lazy images",
         "/lazy/index.html",
         {Html("/lazy/index.html",
               "<!DOCTYPE html><html><head><title>Gallery</title>"
               "<script src=lazy.js defer></script></head><body><h1>Gallery</h1>"
               "<img class=lazy data-src=img/a.png width=48 height=48>"
               "<img class=lazy data-src=img/b.png width=48 height=48>"
               "<div style='height:3000px'></div>"
               "<img class=lazy data-src=img/c.png width=48 height=48></body></html>"),
          Script("/lazy/lazy.js",
                 "const seen = new IntersectionObserver(entries => entries.forEach(entry => {\n"
                 "  if (entry.isIntersecting) { entry.target.src = entry.target.dataset.src; }\n"
                 "}));\n"
                 "document.querySelectorAll('img.lazy').forEach(img => seen.observe(img));\n"),
          {"/lazy/img/a.png", "image/png", Png("#d52"), true},
          {"/lazy/img/b.png", "image/png", Png("#25d"), true},
          {"/lazy/img/c.png", "image/png", Png("#5d2"), true}}});
    return pages;
}

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A screenshot of `url` at 1024x768, once its scripts had five seconds of the page's own time;
// file: pages may read their neighbours, as a help viewer reads its own file.
QImage Screenshot(const support::TempFolder& home, const std::string& url, const std::string& png,
                  bool networkCut) {
    std::vector<std::string> command = {
        CHROMIUM,
        "--headless",
        "--disable-gpu",
        "--hide-scrollbars",
        "--window-size=1024,768",
        "--virtual-time-budget=5000",
        "--allow-file-access-from-files",
        "--user-data-dir=" + home.path() + "screenshots/profile",
        "--screenshot=" + png,
    };
    if (::geteuid() == 0) {
        command.emplace_back("--no-sandbox");
    }
    if (networkCut) {
        command.emplace_back("--proxy-server=http://127.0.0.1:9");
        command.emplace_back("--proxy-bypass-list=<-loopback>");
    }
    command.push_back(url);
    support::RunProgram(command, {"HOME=" + home.path() + "screenshots"});
    return QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
}

double PercentDifferent(const QImage& a, const QImage& b) {
    if (a.isNull() || a.size() != b.size()) {
        return 100.0;
    }
    long long different = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            different += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return 100.0 * static_cast<double>(different) / (a.width() * a.height());
}

}  // namespace

int main(int argc, char** argv) {
    const bool smoke = argc > 1 && std::string(argv[1]) == "--smoke";
    const std::vector<Page> pages = Pages();
    auto server = std::make_unique<support::HttpServer>(support::HttpServer::Compression::Off);
    for (const Page& page : pages) {
        for (const Resource& resource : page.resources) {
            server->Serve("/site" + resource.path, {200, resource.type, resource.body});
        }
    }
    support::TempFolder home;
    std::filesystem::create_directories(home.path() + "temp");
    const std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + home.path() + "config",
                                                  "TEMP=" + home.path() + "temp"};
    const auto convert = [&](const Page& page, const char* browser) {
        const auto start = std::chrono::steady_clock::now();
        const support::ProgramResult run =
            support::RunProgram({KORVA_CONVERT, server->Url("/site" + page.path),
                                 home.path() + "page.chm", "--browser", browser},
                                environment);
        if (run.exitCode != 0) {
            std::fprintf(stderr, "%s: %s", page.name.c_str(), run.standardError.c_str());
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };

    int stored = 0;
    int total = 0;
    double added = 0;
    std::vector<std::string> extracted;
    std::vector<QImage> originals;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const Page& page = pages[p];
        std::vector<double> without;
        std::vector<double> with;
        for (int turn = 0; turn < (smoke ? 1 : 5); ++turn) {
            without.push_back(convert(page, "off"));
            with.push_back(convert(page, "auto"));  // last, so its help file is the one read
        }
        added += Median(with) - Median(without);
        const std::string folder = home.path() + "extracted" + std::to_string(p);
        support::RunProgram({EXTRACT_CHMLIB, home.path() + "page.chm", folder});
        extracted.push_back(folder + "/" + server->SiteFolder() + "/site");
        for (const Resource& resource : page.resources) {
            if (!resource.byScript) {
                continue;
            }
            ++total;
            const std::filesystem::path copy = extracted.back() + resource.path;
            // A style sheet is rewritten; any other file is as fetched.
            const bool in = std::filesystem::exists(copy) &&
                            (resource.type == "text/css" || Read(copy) == resource.body);
            stored += in ? 1 : 0;
            if (!in) {
                std::fprintf(stderr, "%s: missing %s\n", page.name.c_str(), resource.path.c_str());
            }
        }
        if (!smoke) {
            originals.push_back(Screenshot(home, server->Url("/site" + page.path),
                                           home.path() + "original" + std::to_string(p) + ".png",
                                           false));
        }
    }
    server.reset();  // the network is cut
    double worst = 0;
    for (std::size_t p = 0; p < originals.size(); ++p) {
        const QImage offline =
            Screenshot(home, "file://" + extracted[p] + pages[p].path,
                       home.path() + "offline" + std::to_string(p) + ".png", true);
        const double different = PercentDifferent(originals[p], offline);
        std::printf("  %s: %.1f %% px different offline\n", pages[p].name.c_str(), different);
        worst = std::max(worst, different);
    }
    char pixels[64];
    std::snprintf(pixels, sizeof pixels, "start page %.1f %% px different offline", worst);
    std::printf("browser: %d of %d script-loaded resources stored, %s, +%.2f s\n", stored, total,
                smoke ? "start page pixels not compared" : pixels,
                added / static_cast<double>(pages.size()));
    return stored == total ? 0 : 1;
}
