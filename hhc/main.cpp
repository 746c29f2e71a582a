// hhc.exe PROJECT.hhp: compiles an HTML Help project into a .chm beside it.
#include <exception>
#include <iostream>

#include "hhc/compiler.h"
#include "hhc/error.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: hhc.exe PROJECT.hhp\n";
        return 1;
    }
    try {
        hhc::CompileProject(argv[1], std::cerr);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "hhc.exe: " << e.what() << '\n';
        return 1;
    }
}
