// hhc.exe [--threads N] PROJECT.hhp: compiles an HTML Help project into a .chm beside it. The
// exit status is the platform help compiler's, which documentation tools test for: 1 when the
// .chm was written, 0 when it was not (usage errors included).
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "hhc/arguments.h"
#include "hhc/compiler.h"
#include "hhc/visible_text.h"

namespace {

constexpr int kWritten = 1;
constexpr int kNotWritten = 0;

constexpr const char* kHelp =
    "usage: hhc.exe [--threads N] PROJECT.hhp\n"
    "Compiles an HTML Help project into a .chm beside it, or where [OPTIONS] Compiled file=\n"
    "names it, compressing on N threads (one per core unless given).\n"
    "Exit status: 1 when the .chm was written, 0 when it was not, as the platform's own help\n"
    "compiler does.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kHelp;
        return kNotWritten;
    }
    try {
        hhc::Arguments args = hhc::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
        args.options.progress = &std::cout;
        hhc::CompileProject(args.project, std::cerr, args.options);
        return kWritten;
    } catch (const std::exception& e) {
        std::cerr << "hhc.exe: " << hhc::VisibleText(e.what()) << '\n';
        return kNotWritten;
    }
}
