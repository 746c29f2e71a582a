#include "hhc/arguments.h"

#include <charconv>

#include "hhc/error.h"

namespace hhc {

namespace {

constexpr unsigned kMaxThreads = 256;

[[noreturn]] void Usage() {
    throw Error("usage: hhc.exe [--threads N] PROJECT.hhp (N from 1 to 256; --help says more)");
}

unsigned ThreadCount(const std::string& text) {
    unsigned n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || n == 0 || n > kMaxThreads) {
        Usage();
    }
    return n;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    std::size_t at = 0;
    if (args.size() == 3 && args[0] == "--threads") {
        parsed.options.threads = ThreadCount(args[1]);
        at = 2;
    }
    if (args.size() != at + 1) {
        Usage();
    }
    parsed.project = args[at];
    return parsed;
}

}  // namespace hhc
