// How much of a page of today a browser shows is in the help file: a site served from a local
// server with imported style sheets, backgrounds, a web font, srcset, an iframe with its own
// image, inline styles, a video poster and a favicon. korva-convert makes the help file with
// the real hhc.exe; chmlib's extract_chmLib reads it back, and each resource a browser loads
// counts when its bytes are among the extracted files. Exits 1 when any is missing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/support/http_server.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace {

struct Resource {
    const char* path;
    const char* type;
};

// What a browser at one device pixel per CSS pixel loads for the page below.
constexpr Resource kLoaded[] = {
    {"/site/css/main.css", "text/css"},
    {"/site/css/base.css", "text/css"},
    {"/site/fonts/body.woff2", "font/woff2"},
    {"/site/img/header-bg.png", "image/png"},
    {"/site/img/icons.svg", "image/svg+xml"},
    {"/favicon.ico", "image/x-icon"},
    {"/site/js/app.js", "application/javascript"},
    {"/site/img/photo-1x.jpg", "image/jpeg"},
    {"/site/frames/note.html", "text/html"},
    {"/site/frames/note.png", "image/png"},
    {"/site/img/inline-bg.png", "image/png"},
    {"/site/img/section.webp", "image/webp"},
    {"/site/media/poster.jpg", "image/jpeg"},
};

// Every body but the pages' and style sheets' is a marker of its own, so it can be found.
std::string Body(const Resource& resource) {
    const std::string path = resource.path;
    if (path == "/site/css/main.css") {
        return "@import url(\"base.css\");\nheader { background: url(../img/header-bg.png) }\n";
    }
    if (path == "/site/css/base.css") {
        return "@font-face { font-family: B; src: url('../fonts/body.woff2') format('woff2') }\n"
               "nav { background-image: url(../img/icons.svg#menu) }\n";
    }
    if (path == "/site/frames/note.html") {
        return "<!DOCTYPE html><p>Note<img src=\"note.png\" alt=\"note\"></p>";
    }
    return "resource " + path;
}

constexpr const char* kPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Capture</title>\n"
    "<link rel=\"stylesheet\" href=\"../css/main.css\">\n"
    "<link rel=\"icon\" href=\"/favicon.ico\">\n"
    "<link rel=\"next\" href=\"chapter2.html\">\n"
    "<script src=\"../js/app.js\" defer></script>\n"
    "<style>section { background: url('../img/section.webp') }</style>\n"
    "</head><body><header><h1>Capture</h1></header><nav></nav>\n"
    "<section style=\"background-image: url(../img/inline-bg.png)\">\n"
    "<img src=\"../img/photo-1x.jpg\" srcset=\"../img/photo-1x.jpg 1x, ../img/photo-2x.jpg 2x\" "
    "alt=\"photo\">\n"
    "<iframe src=\"../frames/note.html\"></iframe>\n"
    "<video poster=\"../media/poster.jpg\" width=\"100\"></video>\n"
    "<svg width=\"10\" height=\"10\"><rect width=\"10\" height=\"10\"/></svg>\n"
    "</section></body></html>\n";

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main() {
    support::HttpServer server(support::HttpServer::Compression::Off);
    for (const Resource& resource : kLoaded) {
        server.Serve(resource.path, {200, resource.type, Body(resource)});
    }
    server.Serve("/site/img/photo-2x.jpg", {200, "image/jpeg", "resource 2x"});
    server.Serve("/site/pages/page.html", {200, "text/html", kPage});

    support::TempFolder home;
    std::filesystem::create_directories(home.path() + "temp");
    const std::string help = home.path() + "page.chm";
    const support::ProgramResult run = support::RunProgram(
        {KORVA_CONVERT, server.Url("/site/pages/page.html"), help},
        {"XDG_CONFIG_HOME=" + home.path() + "config", "TEMP=" + home.path() + "temp"});
    const support::ProgramResult read =
        support::RunProgram({EXTRACT_CHMLIB, help, home.path() + "extracted"});
    if (!std::filesystem::exists(help) || read.exitCode != 0) {
        std::fprintf(stderr, "no help file: %s%s\n", run.standardError.c_str(),
                     read.standardError.c_str());
        return 1;
    }
    std::set<std::string> stored;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(home.path() + "extracted")) {
        if (entry.is_regular_file()) {
            stored.insert(Read(entry.path()));
        }
    }
    int found = 0;
    for (const Resource& resource : kLoaded) {
        const std::string body = Body(resource);
        const bool rewritten = body.find("url(") != std::string::npos || body.find('<') == 0;
        // A page or style sheet is rewritten; its stored copy is counted by its file's name.
        const bool in = rewritten ? std::filesystem::exists(home.path() + "extracted/" +
                                                            server.SiteFolder() + resource.path)
                                  : stored.contains(body);
        found += in ? 1 : 0;
        if (!in) {
            std::fprintf(stderr, "missing: %s\n", resource.path);
        }
    }
    const int total = static_cast<int>(std::size(kLoaded));
    std::printf("capture: %d of %d resources a browser loads are in the help file\n", found, total);
    return found == total ? 0 : 1;
}
