// hhc.exe [--threads N] PROJECT.hhp (or --help, --version): compiles an HTML Help project into a
// .chm beside it. The exit status is the platform help compiler's, which documentation tools test
// for: 1 when the .chm was written, 0 when it was not (usage errors included, which take the same
// path as others).
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <gnu/libc-version.h>

#include "common/visible_text.h"
#include "hhc/arguments.h"
#include "hhc/compiler.h"
#include "korva/version.h"

namespace {

constexpr int kWritten = 1;
constexpr int kNotWritten = 0;

constexpr const char* kUsage =
    "usage: hhc.exe [--threads N] PROJECT.hhp\n"
    "       hhc.exe --version | --help\n"
    "Compiles an HTML Help project into a .chm beside it, or where [OPTIONS] Compiled file=\n"
    "names it, compressing on N threads (default: one per core; the file is the same for any N).\n"
    "Exit status: 1 when the .chm was written, 0 when it was not, as the platform's own help\n"
    "compiler does.\n";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return kNotWritten;
    }
    if (args.size() == 1 && args[0] == "--version") {
        // The compressor, the container and the index are its own: the C and C++ runtimes are
        // all it links, so they are what it names.
        std::cout << "hhc.exe " << korva::kVersion << '\n'
                  << "glibc " << gnu_get_libc_version() << ", libstdc++ " << _GLIBCXX_RELEASE
                  << '\n';
        return kNotWritten;
    }
    try {
        hhc::Arguments parsed = hhc::ParseArguments(args);
        parsed.options.progress = &std::cout;
        hhc::CompileProject(parsed.project, std::cerr, parsed.options);
        return kWritten;
    } catch (const std::exception& e) {
        std::cerr << "hhc.exe: " << common::VisibleText(e.what()) << '\n';
        return kNotWritten;
    }
}
