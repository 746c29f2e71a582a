// korva-convert against `wget -p -k -nd` on the same page with 40 images, 2 style sheets and
// 3 scripts from a local server; then over a slow network (50 ms added to every answer)
// against wget2, which fetches concurrently too, at korva's 6 connections a host and at 8;
// then the same over HTTPS with HTTP/2 (tls_site.py, a test CA given through SSL_CERT_FILE),
// where one style sheet imports another that names a picture, so the longest chain of
// requests is 4 answers long: that chain's delays are the floor no client can beat. The
// compiler is a stand-in that writes an empty file, so the figures are the fetching and the
// rewriting. Medians of several runs; `--smoke` runs once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/http_server.h"
#include "tests/support/run_program.h"
#include "tests/support/server_process.h"
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

// The same page as files for tls_site.py, one of its style sheets importing another that names
// a picture; returns the page's path.
std::string WriteSite(const support::TempFolder& folder) {
    std::string page = "<html><head><title>Bench</title>";
    for (int i = 0; i < 2; ++i) {
        const std::string name = "css/s" + std::to_string(i) + ".css";
        folder.Write("site/" + name,
                     (i == 0 ? "@import 'deep.css';\n" : "") + Filler(8000, static_cast<char>(i)));
        page += "<link rel=stylesheet href=\"" + name + "\">";
    }
    folder.Write("site/css/deep.css", "body { background: url(back.gif) }");
    folder.Write("site/css/back.gif", "GIF89a" + Filler(12000, 'b'));
    for (int i = 0; i < 3; ++i) {
        const std::string name = "js/lib" + std::to_string(i) + ".js";
        folder.Write("site/" + name, Filler(30000, static_cast<char>(i)));
        page += "<script src=\"" + name + "\"></script>";
    }
    page += "</head><body>";
    for (int i = 0; i < 40; ++i) {
        const std::string name = "img/p" + std::to_string(i) + ".gif";
        folder.Write("site/" + name, "GIF89a" + Filler(12000, static_cast<char>(i)));
        page += "<p>" + Filler(500, static_cast<char>(i)) + "<img src=\"" + name +
                "\" width=10><a href=\"more" + std::to_string(i) + ".htm\">more</a></p>\n";
    }
    folder.Write("site/page.htm", page + "</body></html>");
    return "/page.htm";
}

constexpr int kChainAnswers = 4;  // page, style sheet, imported sheet, picture
constexpr double kDelaySeconds = 0.05;

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
// `afterEach` runs after every command, outside the timing.
bool TimeInTurns(std::vector<Command*> commands, const support::TempFolder& home, int runs,
                 const std::function<void(const Command&)>& afterEach = {}) {
    for (int i = 0; i < runs; ++i) {
        for (Command* command : commands) {
            if (!TimeOnce(*command, home)) {
                return false;
            }
            if (afterEach) {
                afterEach(*command);
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
    Command wget2Six{
        {WGET2, "-q", "-p", "-k", "-nd", "--max-threads=6", "-P", out, slowUrl}, {}, {}};
    Command wget2Eight{
        {WGET2, "-q", "-p", "-k", "-nd", "--max-threads=8", "-P", out, slowUrl}, {}, {}};
    Command wgetSlow{{WGET, "-q", "-p", "-k", "-nd", "-P", out, slowUrl}, {}, {}};
    if (!TimeInTurns({&korvaSlow, &wget2Six, &wget2Eight, &wgetSlow}, home, smoke ? 1 : 5)) {
        return 1;
    }
    const double korvaSeconds = Median(korvaSlow.seconds);
    std::printf(
        "latency: korva-convert %.2f s, wget2 (6 connections) %.2f s, ratio %.2f; wget2 (8) "
        "%.2f s, wget %.2f s\n",
        korvaSeconds, Median(wget2Six.seconds), korvaSeconds / Median(wget2Six.seconds),
        Median(wget2Eight.seconds), Median(wgetSlow.seconds));

    if (support::RunProgram({MAKE_TEST_CA, home.path() + "ca"}).exitCode != 0) {
        std::fprintf(stderr, "make-test-ca failed\n");
        return 1;
    }
    const std::string ca = home.path() + "ca/";
    const std::string pagePath = WriteSite(home);
    support::ServerProcess site({SYSTEM_PYTHON, TLS_SITE, ca + "server.pem", ca + "server.key",
                                 home.path() + "site",
                                 std::to_string(static_cast<int>(kDelaySeconds * 1000))});
    const std::string secureUrl = "https://" + site.HostPort() + pagePath;
    if (site.port() == 0) {
        std::fprintf(stderr, "tls_site.py did not start\n");
        return 1;
    }
    std::vector<std::string> secureEnvironment = environment;
    // CURL_CA_BUNDLE would win over SSL_CERT_FILE, as it does for curl.
    secureEnvironment.insert(secureEnvironment.end(), {"SSL_CERT_FILE=" + ca + "ca.pem",
                                                       "CURL_CA_BUNDLE=", "SSL_CERT_DIR="});
    Command korvaH2{{KORVA_CONVERT, secureUrl, out + "/page.chm"}, secureEnvironment, {}};
    Command wget2H2{
        {WGET2, "-q", "-p", "-k", "-nd", "--ca-certificate=" + ca + "ca.pem", "-P", out, secureUrl},
        {},
        {}};
    // The server's log, read after each run (so its pipe never fills), says how many
    // connections korva-convert opened: HTTP/2 should need one.
    std::size_t logRead = 0;
    int korvaConnections = 0;
    const auto countConnections = [&](const Command& command) {
        const std::string log = site.Output();
        if (&command == &korvaH2) {
            korvaConnections =
                std::max(korvaConnections, support::CountLines(log.substr(logRead), "connection"));
        }
        logRead = log.size();
    };
    if (!TimeInTurns({&korvaH2, &wget2H2}, home, smoke ? 1 : 5, countConnections)) {
        return 1;
    }
    if (korvaConnections != 1) {
        std::fprintf(stderr, "korva-convert opened %d connections to the HTTP/2 site\n",
                     korvaConnections);
        return 1;
    }
    const double floor = kChainAnswers * kDelaySeconds;
    std::printf(
        "latency-h2: korva-convert %.2f s, floor %.2f s (%d round trips of %.0f ms), ratio "
        "%.2f, wget2 %.2f s\n",
        Median(korvaH2.seconds), floor, kChainAnswers, kDelaySeconds * 1000,
        Median(korvaH2.seconds) / floor, Median(wget2H2.seconds));
    return 0;
}
