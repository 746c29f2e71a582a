// hhc.exe's command line: [--threads N] PROJECT.hhp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "hhc/compiler.h"

namespace hhc {

struct Arguments {
    std::filesystem::path project;
    CompileOptions options;
};

// The arguments after the program's name. Throws hhc::Error with the usage for anything else.
Arguments ParseArguments(const std::vector<std::string>& args);

}  // namespace hhc
