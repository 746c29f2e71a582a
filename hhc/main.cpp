// hhc.exe [--threads N] PROJECT.hhp: compiles an HTML Help project into a .chm beside it.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "hhc/arguments.h"
#include "hhc/compiler.h"
#include "hhc/visible_text.h"

int main(int argc, char** argv) {
    try {
        const hhc::Arguments args =
            hhc::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
        hhc::CompileProject(args.project, std::cerr, args.options);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "hhc.exe: " << hhc::VisibleText(e.what()) << '\n';
        return 1;
    }
}
