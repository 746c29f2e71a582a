// Throughput of the tag scanner over generated pages, and how its time grows from 1 MB to
// 10 MB (10 means linear). `--smoke` runs a tiny page once, to prove the program works.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

#include "bench/page_generator.h"
#include "engine/tag_scanner.h"
#include "tests/support/fake_ports.h"

namespace {

constexpr std::size_t kMegabyte = 1000 * 1000;

// A SaveFile that only hands out names, so the figure is the scanner's own.
class NamingSaver : public engine::ResourceSaver {
public:
    std::string SaveFile(const std::string& Url) override {
        const auto [it, added] = names_.try_emplace(Url, "");
        if (added) {
            it->second = "chm" + std::to_string(names_.size() - 1) + ".gif";
        }
        return it->second;
    }

private:
    std::unordered_map<std::string, std::string> names_;
};

// The best of `runs` scans of `page`, in seconds.
double BestScanTime(const std::string& page, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        std::string text = page;
        support::FakeHost host;
        NamingSaver saver;
        const auto start = std::chrono::steady_clock::now();
        engine::IterateTags(text, engine::Document{"http://host/dir/page.htm", "chmindex.htm"},
                            host, saver);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const bool smoke = argc > 1 && std::string_view(argv[1]) == "--smoke";
    const std::size_t small = smoke ? 10'000 : 1 * kMegabyte;
    const std::size_t large = smoke ? 100'000 : 10 * kMegabyte;
    const int runs = smoke ? 1 : 7;

    const std::string smallPage = bench::GeneratePage(small);
    const std::string largePage = bench::GeneratePage(large);
    const double smallTime = BestScanTime(smallPage, runs);
    const double largeTime = BestScanTime(largePage, runs);
    const double megabytesPerSecond = static_cast<double>(largePage.size()) / kMegabyte / largeTime;
    std::printf("IterateTags: %.1f MB/s; 10 MB / 1 MB time ratio %.2f\n", megabytesPerSecond,
                largeTime / smallTime);
    return 0;
}
