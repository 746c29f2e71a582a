// korva-convert against `wget -p -k -nd` on the same page with 40 images, 2 style sheets and
// 3 scripts from a local server, then over a slow network (50 ms added to every answer)
// against wget2, which fetches concurrently, too. The compiler is a stand-in that writes an
// empty file, so the figures are the fetching and the rewriting. Medians of several runs;
// `--smoke` runs once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/http_server.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace {

std::string Filler(std::size_t bytes, char seed) {
    std::string text(bytes, ' ');
    for (std::size_t i = 0; i < bytes; ++i) {
        text[i] = static_cast<char>('a' + (i * 7 + static_cast<std::size_t>(seed)) % 26);
    }
    return text;
}

// Serves the page and its 45 resources, each answer `delay` late, and returns the page's
// address.
std::string ServePage(support::HttpServer& server, std::chrono::milliseconds delay = {}) {
    std::string page = "<html><head><title>Bench</title>";
    for (int i = 0; i < 2; ++i) {
        const std::string name = "/css/s" + std::to_string(i) + ".css";
        server.Serve(name, {200, "text/css", Filler(8000, static_cast<char>(i)), "", delay});
        page += "<link rel=stylesheet href=\"" + name.substr(1) + "\">";
    }
    for (int i = 0; i < 3; ++i) {
        const std::string name = "/js/lib" + std::to_string(i) + ".js";
        server.Serve(
            name, {200, "application/javascript", Filler(30000, static_cast<char>(i)), "", delay});
        page += "<script src=\"" + name.substr(1) + "\"></script>";
    }
    page += "</head><body>";
    for (int i = 0; i < 40; ++i) {
        const std::string name = "/img/p" + std::to_string(i) + ".gif";
        server.Serve(name,
                     {200, "image/gif", "GIF89a" + Filler(12000, static_cast<char>(i)), "", delay});
        page += "<p>" + Filler(500, static_cast<char>(i)) + "<img src=\"" + name.substr(1) +
                "\" width=10><a href=\"more" + std::to_string(i) + ".htm\">more</a></p>\n";
    }
    page += "</body></html>";
    server.Serve("/page.htm", {200, "text/html", page, "", delay});
    return server.Url("/page.htm");
}

struct Command {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
    std::vector<double> seconds;
};

// One run in a fresh output folder; false when the program failed.
bool TimeOnce(Command& command, const support::TempFolder& home) {
    std::filesystem::remove_all(home.path() + "out");
    std::filesystem::create_directories(home.path() + "out");
    const auto start = std::chrono::steady_clock::now();
    const support::ProgramResult result = support::RunProgram(command.argv, command.environment);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (result.exitCode != 0) {
        std::fprintf(stderr, "%s failed: %s\n", command.argv[0].c_str(),
                     result.standardError.c_str());
        return false;
    }
    command.seconds.push_back(took.count());
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

// Times the commands in turns, so that a busy moment of the machine falls on all of them.
bool TimeInTurns(std::vector<Command*> commands, const support::TempFolder& home, int runs) {
    for (int i = 0; i < runs; ++i) {
        for (Command* command : commands) {
            if (!TimeOnce(*command, home)) {
                return false;
            }
        }
    }
    return true;
}

int main(int argc, char** argv) {
    const bool smoke = argc > 1 && std::string_view(argv[1]) == "--smoke";
    support::HttpServer server(support::HttpServer::Compression::Off);
    support::HttpServer slow(support::HttpServer::Compression::Off);
    const std::string url = ServePage(server);
    const std::string slowUrl = ServePage(slow, std::chrono::milliseconds(50));
    support::TempFolder home;
    std::filesystem::create_directories(home.path() + "tools");
    std::filesystem::copy_file(EMPTY_HHC, home.path() + "tools/hhc.exe");
    // The fetching alone: what the browser adds is the script loads benchmark's figure.
    home.Write("config/KORVA/KORVA.conf", "[Main]\nHHC=" + home.path() + "tools/\nBrowser=off\n");
    std::filesystem::create_directories(home.path() + "temp");
    const std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + home.path() + "config",
                                                  "TEMP=" + home.path() + "temp"};
    const std::string out = home.path() + "out";

    Command korva{{KORVA_CONVERT, url, out + "/page.chm"}, environment, {}};
    Command wget{{WGET, "-q", "-p", "-k", "-nd", "-P", out, url}, {}, {}};
    if (!TimeInTurns({&korva, &wget}, home, smoke ? 1 : 15)) {
        return 1;
    }
    std::printf("convert: korva-convert %.3f s, wget -p -k %.3f s, ratio %.2f\n",
                Median(korva.seconds), Median(wget.seconds),
                Median(korva.seconds) / Median(wget.seconds));

    Command korvaSlow{{KORVA_CONVERT, slowUrl, out + "/page.chm"}, environment, {}};
    Command wget2Slow{
        {WGET2, "-q", "-p", "-k", "-nd", "--max-threads=8", "-P", out, slowUrl}, {}, {}};
    Command wgetSlow{{WGET, "-q", "-p", "-k", "-nd", "-P", out, slowUrl}, {}, {}};
    if (!TimeInTurns({&korvaSlow, &wget2Slow, &wgetSlow}, home, smoke ? 1 : 5)) {
        return 1;
    }
    std::printf(
        "latency: korva-convert %.2f s, wget2 -p -k %.2f s, wget -p -k %.2f s, ratio to "
        "wget2 %.2f\n",
        Median(korvaSlow.seconds), Median(wget2Slow.seconds), Median(wgetSlow.seconds),
        Median(korvaSlow.seconds) / Median(wget2Slow.seconds));
    return 0;
}
