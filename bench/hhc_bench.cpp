// Compiles the same generated help project (about 20 MB of varied HTML pages and images) with
// hhc.exe and with Free Pascal's chmcmd, and prints time, peak memory and output size of each,
// then the ratios; hhc.exe runs with a thread per core, and again with one thread. Then both
// compile the project again with Full-text search=Yes. hhc.exe is taken from this program's own
// folder, chmcmd from PATH. --smoke compiles a small project with hhc.exe only.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }

    std::size_t Below(std::size_t n) { return Next() % n; }

private:
    std::uint64_t state_;
};

// Words with a skewed distribution, as in prose: a few very common, a long tail.
class Vocabulary {
public:
    explicit Vocabulary(Random& rng) {
        static const char kLetters[] = "etaoinshrdlcumwfgypbvkjxqz";
        for (int i = 0; i < 4000; ++i) {
            std::string w;
            const std::size_t len = 2 + rng.Below(5) + rng.Below(5);
            for (std::size_t k = 0; k < len; ++k) {
                w += kLetters[std::min(rng.Below(26), rng.Below(26))];
            }
            words_.push_back(w);
        }
    }

    const std::string& Pick(Random& rng) const {
        const std::size_t a = rng.Below(words_.size());
        return words_[std::min({a, rng.Below(words_.size()), rng.Below(words_.size())})];
    }

private:
    std::vector<std::string> words_;
};

std::string Sentence(const Vocabulary& v, Random& rng) {
    std::string s;
    const std::size_t n = 6 + rng.Below(18);
    for (std::size_t i = 0; i < n; ++i) {
        std::string w = v.Pick(rng);
        if (i == 0) {
            w[0] = static_cast<char>(w[0] - 32);
        }
        s += w;
        s += i + 1 == n ? ". " : (rng.Below(9) == 0 ? ", " : " ");
    }
    return s;
}

std::string Page(int index, const Vocabulary& v, Random& rng, std::size_t target) {
    std::string p =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html><head>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
        "\n<title>" +
        Sentence(v, rng) +
        "</title>\n<link rel=\"stylesheet\" "
        "href=\"chm0.css\">\n<script type=\"text/javascript\">\nfunction show" +
        std::to_string(index) +
        "(id) { var e = document.getElementById(id); "
        "if (e) { e.style.display = 'block'; } }\n</script></head>\n<body>\n";
    while (p.size() < target) {
        switch (rng.Below(6)) {
            case 0:
                p += "<h2 class=\"section\">" + Sentence(v, rng) + "</h2>\n";
                break;
            case 1: {
                p += "<table border=\"1\" cellpadding=\"4\" width=\"100%\">\n";
                const std::size_t rows = 2 + rng.Below(8);
                for (std::size_t r = 0; r < rows; ++r) {
                    p += "  <tr><td class=\"name\">" + v.Pick(rng) + "</td><td align=\"right\">" +
                         std::to_string(rng.Below(100000)) + "</td><td>" + Sentence(v, rng) +
                         "</td></tr>\n";
                }
                p += "</table>\n";
                break;
            }
            case 2:
                p += "<p><a href=\"chm" + std::to_string(rng.Below(400)) + ".htm\">" + v.Pick(rng) +
                     " " + v.Pick(rng) + "</a> <img src=\"chm" + std::to_string(rng.Below(150)) +
                     ".gif\" width=\"" + std::to_string(16 + rng.Below(300)) + "\" height=\"" +
                     std::to_string(16 + rng.Below(200)) + "\" alt=\"" + v.Pick(rng) + "\"></p>\n";
                break;
            default:
                p += "<p>" + Sentence(v, rng) + Sentence(v, rng) + Sentence(v, rng) + "</p>\n";
                break;
        }
    }
    return p + "</body></html>\n";
}

// Images: palette bitmaps with runs (compress well) and already-compressed data (do not).
std::string Image(Random& rng, std::size_t size) {
    std::string img;
    if (rng.Below(3) == 0) {
        img = "GIF89a";
        while (img.size() < size) {
            img += static_cast<char>(rng.Next() >> 24);
        }
        return img;
    }
    img = "BM";
    while (img.size() < size) {
        const char colour = static_cast<char>(rng.Below(16));
        img.append(1 + rng.Below(40), colour);
    }
    img.resize(size);
    return img;
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::uint64_t Generate(const fs::path& dir, std::size_t pages, std::size_t images) {
    Random rng(20240601);
    const Vocabulary vocabulary(rng);
    std::uint64_t total = 0;
    std::string files = "chmindex.htm\r\nchm0.css\r\n";
    const auto add = [&](const std::string& name, const std::string& bytes) {
        Write(dir / name, bytes);
        total += bytes.size();
    };
    add("chmindex.htm", Page(0, vocabulary, rng, 30000));
    add("chm0.css", "body { font-family: Verdana, sans-serif; }\n.section { color: #336; }\n");
    for (std::size_t i = 1; i <= pages; ++i) {
        const std::string name = "chm" + std::to_string(i) + ".htm";
        add(name, Page(static_cast<int>(i), vocabulary, rng, 8000 + rng.Below(64000)));
        files += name + "\r\n";
    }
    for (std::size_t i = 0; i < images; ++i) {
        const std::string name = "chm" + std::to_string(i) + ".gif";
        add(name, Image(rng, 2000 + rng.Below(120000)));
        files += name + "\r\n";
    }
    const std::string window =
        "[WINDOWS]\r\nKORVA=\"Created with KORVA\",,,\"chmindex.htm\",\"chmindex.htm\",,,,,"
        "0x42020,,0x207c,[30,30,600,400],,,,,,,0\r\n";
    for (const std::string search : {"", "-search"}) {
        const std::string options = "Default Window=KORVA\r\n" +
                                    std::string(search.empty() ? "" : "Full-text search=Yes\r\n");
        Write(dir / ("chmkorva" + search + ".hhp"),
              "[OPTIONS]\r\n" + options + window + "[FILES]\r\n" + files);
        Write(dir / ("fpc" + search + ".hhp"), "[OPTIONS]\r\nCompiled file=fpc" + search +
                                                   ".chm\r\n" + options + window + "[FILES]\r\n" +
                                                   files);
    }
    return total;
}

struct Measure {
    bool ok = false;
    double seconds = 0;
    long peakKiB = 0;
    std::uintmax_t outputSize = 0;
};

Measure RunOnce(const std::vector<std::string>& argv, const fs::path& dir, const fs::path& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    Measure m;
    fs::remove(output);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return m;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKiB = usage.ru_maxrss;
    // Judged by the output: hhc.exe says success with 1, chmcmd with 0.
    m.ok = WIFEXITED(status) && fs::exists(output) && fs::file_size(output) > 0;
    m.outputSize = m.ok ? fs::file_size(output) : 0;
    return m;
}

// The fastest of a few runs: the figure least disturbed by the rest of the machine.
Measure Best(const std::vector<std::string>& argv, const fs::path& dir, const fs::path& output,
             int runs) {
    Measure best;
    for (int i = 0; i < runs; ++i) {
        const Measure m = RunOnce(argv, dir, output);
        if (!m.ok) {
            return m;
        }
        if (!best.ok || m.seconds < best.seconds) {
            best = m;
        }
    }
    return best;
}

void Print(const char* name, const Measure& m) {
    std::printf("%-8s time %7.3f s   peak memory %8.1f MiB   output %10ju bytes\n", name, m.seconds,
                static_cast<double>(m.peakKiB) / 1024.0, m.outputSize);
}

std::uintmax_t XzOfTar(const fs::path& dir) {
    const std::string command = "tar -C '" + dir.string() +
                                "' --exclude='*.chm' --exclude='*.hhp' -cf - . | xz -6 -c | wc -c";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return 0;
    }
    unsigned long long size = 0;
    if (std::fscanf(pipe, "%llu", &size) != 1) {
        size = 0;
    }
    ::pclose(pipe);
    return size;
}

// Both compilers with Full-text search=Yes; 1 when one failed.
int SearchFigures(const std::string& hhc, const fs::path& dir) {
    const Measure ours = Best({hhc, "chmkorva-search.hhp"}, dir, dir / "chmkorva-search.chm", 2);
    Print("search", ours);
    const Measure theirs = Best({"chmcmd", "fpc-search.hhp"}, dir, dir / "fpc-search.chm", 2);
    Print("chmcmd", theirs);
    if (!ours.ok || !theirs.ok) {
        std::printf("hhc search: no ratio: %s failed\n", !theirs.ok ? "chmcmd" : "hhc.exe");
        return 1;
    }
    std::printf("hhc search: time ratio %.3f vs chmcmd, size ratio %.3f vs chmcmd\n",
                ours.seconds / theirs.seconds,
                static_cast<double>(ours.outputSize) / static_cast<double>(theirs.outputSize));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool smoke = argc > 1 && std::string(argv[1]) == "--smoke";
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const std::string hhc = (self.parent_path() / "hhc.exe").string();
    std::string pattern = (fs::temp_directory_path() / "hhc-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = pattern;
    const std::uint64_t input = smoke ? Generate(dir, 20, 5) : Generate(dir, 320, 120);
    std::printf("input: %ju bytes in %s files\n", static_cast<std::uintmax_t>(input),
                smoke ? "27" : "442");

    const Measure ours = Best({hhc, "chmkorva.hhp"}, dir, dir / "chmkorva.chm", smoke ? 1 : 2);
    Print("hhc.exe", ours);
    int status = ours.ok ? 0 : 1;
    if (!smoke && std::getenv("HHC_BENCH_ONLY") == nullptr) {
        const Measure single =
            Best({hhc, "--threads", "1", "chmkorva.hhp"}, dir, dir / "chmkorva.chm", 2);
        Print("1 thread", single);
        const Measure theirs = Best({"chmcmd", "fpc.hhp"}, dir, dir / "fpc.chm", 2);
        Print("chmcmd", theirs);
        if (ours.ok && single.ok && theirs.ok) {
            std::printf(
                "hhc: time ratio %.3f vs chmcmd, size ratio %.3f vs chmcmd\n",
                ours.seconds / theirs.seconds,
                static_cast<double>(ours.outputSize) / static_cast<double>(theirs.outputSize));
            std::printf("hhc --threads 1: time ratio %.3f vs chmcmd\n",
                        single.seconds / theirs.seconds);
        } else {
            std::printf("hhc: no ratio: %s failed\n", !theirs.ok ? "chmcmd" : "hhc.exe");
            status = 1;
        }
        status |= SearchFigures(hhc, dir);
        std::printf("reference: xz -6 of a tar of the input: %ju bytes\n", XzOfTar(dir));
    }
    if (std::getenv("HHC_BENCH_KEEP") != nullptr) {
        std::printf("kept %s\n", dir.c_str());
    } else {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    return status;
}
