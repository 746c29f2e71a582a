// hhc.exe PROJECT.hhp: compiles an HTML Help project into a .chm beside it. The exit status is
// the platform help compiler's, which documentation tools test for: 1 when the .chm was written,
// 0 when it was not (usage errors included).
#include <exception>
#include <iostream>
#include <string_view>

#include "hhc/compiler.h"
#include "hhc/error.h"

namespace {

constexpr int kWritten = 1;
constexpr int kNotWritten = 0;

constexpr const char* kUsage =
    "usage: hhc.exe PROJECT.hhp\n"
    "Compiles an HTML Help project into a .chm beside it, or where [OPTIONS] Compiled file=\n"
    "names it. Exit status: 1 when the .chm was written, 0 when it was not, as the platform's\n"
    "own help compiler does.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kUsage;
        return kNotWritten;
    }
    if (argc != 2) {
        std::cerr << "usage: hhc.exe PROJECT.hhp (--help says more)\n";
        return kNotWritten;
    }
    try {
        hhc::CompileProject(argv[1], std::cerr, {.progress = &std::cout});
        return kWritten;
    } catch (const std::exception& e) {
        std::cerr << "hhc.exe: " << e.what() << '\n';
        return kNotWritten;
    }
}
