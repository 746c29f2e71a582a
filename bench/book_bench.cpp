// A whole manual in one help file: korva-convert --follow 1 from the index page of a manual that
// Sphinx builds here (book_manual.py, 16 chapters), served from 127.0.0.1 with 50 ms added to
// every answer, against wget -r -l1 -np -p -k on the same manual. korva-convert is timed with
// the real hhc.exe, compile included. The help file is unpacked with chmlib's extract_chmLib
// and read back by book_check.py: pages, links between them, contents and index entries as
// viewers parse them, and probe words through python3-chm's full-text search. Medians of 5
// runs. `--smoke` runs once on a three-page manual written by hand, so it needs no Sphinx.
// It exits 1 only when it could not measure; what misses a goal is told on standard error.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/http_server.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr std::chrono::milliseconds kDelay(50);

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TypeOf(const std::filesystem::path& path) {
    static const std::map<std::string, std::string> kTypes = {
        {".html", "text/html; charset=utf-8"},
        {".css", "text/css"},
        {".js", "application/javascript"},
        {".png", "image/png"},
        {".svg", "image/svg+xml"},
        {".txt", "text/plain; charset=utf-8"},
    };
    const auto found = kTypes.find(path.extension().string());
    return found == kTypes.end() ? "application/octet-stream" : found->second;
}

// Serves every file below `root` under `prefix`, each answer late by kDelay.
void ServeFolder(support::HttpServer& server, const std::filesystem::path& root,
                 const std::string& prefix) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            const std::string path = prefix + entry.path().lexically_relative(root).string();
            server.Serve(path, {200, TypeOf(entry.path()), Read(entry.path()), "", kDelay});
        }
    }
}

// One run in a fresh output folder; its time in seconds, or a negative number when the
// program failed.
double TimeOnce(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                const std::string& out) {
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    const auto start = std::chrono::steady_clock::now();
    const support::ProgramResult result = support::RunProgram(argv, environment);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (result.exitCode != 0) {
        std::fprintf(stderr, "%s failed (%d): %s\n", argv[0].c_str(), result.exitCode,
                     result.standardError.c_str());
        return -1;
    }
    return took.count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const bool smoke = argc > 1 && std::string_view(argv[1]) == "--smoke";
    support::TempFolder home;
    // The full manual and its help file stay in the build folder, to be opened in a viewer.
    const std::string manual = smoke ? home.path() + "manual" : std::string(BOOK_FOLDER);
    std::filesystem::remove_all(manual);
    std::vector<std::string> make = {SYSTEM_PYTHON, BOOK_MANUAL, manual};
    if (smoke) {
        make.insert(make.begin() + 2, "--tiny");
    }
    const support::ProgramResult made = support::RunProgram(make);
    if (made.exitCode != 0) {
        std::fprintf(stderr, "book_manual.py failed (python3-sphinx is needed):\n%s%s\n",
                     made.standardOutput.c_str(), made.standardError.c_str());
        return 1;
    }

    support::HttpServer server(support::HttpServer::Compression::Off);
    ServeFolder(server, manual + "/html", "/manual/");
    const std::string url = server.Url("/manual/index.html");

    std::filesystem::create_directories(home.path() + "temp");
    const std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + home.path() + "config",
                                                  "TEMP=" + home.path() + "temp"};
    const std::string out = home.path() + "out";
    const std::string help = out + "/book.chm";
    const std::vector<std::string> korva = {KORVA_CONVERT, url, help, "--follow", "1"};
    // One level of links, no parent folders, each page's requisites, links made local.
    std::vector<std::string> wget = {WGET, "-q", "-r", "-l1", "-np", "-p", "-k"};
    wget.insert(wget.end(), {"-P", out, url});
    std::vector<double> korvaSeconds, wgetSeconds;
    // In turns, so that a busy moment of the machine falls on both; korva-convert last, so
    // that its help file is the one read back.
    for (int run = 0; run < (smoke ? 1 : 5); ++run) {
        const double wgetTook = TimeOnce(wget, {}, out);
        const double korvaTook = TimeOnce(korva, environment, out);
        if (wgetTook < 0 || korvaTook < 0) {
            return 1;
        }
        wgetSeconds.push_back(wgetTook);
        korvaSeconds.push_back(korvaTook);
    }
    if (!smoke) {
        std::filesystem::copy_file(help, manual + "/book.chm");
    }

    const std::string extracted = home.path() + "extracted";
    const support::ProgramResult unpacked = support::RunProgram({EXTRACT_CHMLIB, help, extracted});
    if (unpacked.exitCode != 0) {
        std::fprintf(stderr, "extract_chmLib failed: %s\n", unpacked.standardError.c_str());
        return 1;
    }
    const support::ProgramResult checked = support::RunProgram(
        {SYSTEM_PYTHON, BOOK_CHECK, help, extracted, manual, server.Url("/manual/")});
    std::fputs(checked.standardError.c_str(), stderr);
    std::istringstream figures(checked.standardOutput);
    int pagesIn = 0, pages = 0, links = 0, notLocal = 0, contents = 0, keywords = 0, found = 0,
        probes = 0;
    if (checked.exitCode != 0 || !(figures >> pagesIn >> pages >> links >> notLocal >> contents >>
                                   keywords >> found >> probes)) {
        std::fprintf(stderr, "book_check.py failed: %s\n", checked.standardOutput.c_str());
        return 1;
    }
    const std::string local =
        notLocal == 0 ? " all local" : ", " + std::to_string(notLocal) + " not local";
    std::printf(
        "book: %d of %d pages, %d links between them%s, contents %d entries, index %d "
        "keywords, search finds %d of %d probe words, %.2f s (wget -r -l1 -np -p -k: %.2f s)\n",
        pagesIn, pages, links, local.c_str(), contents, keywords, found, probes,
        Median(korvaSeconds), Median(wgetSeconds));
    return 0;
}
