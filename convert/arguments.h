// korva-convert's command line (options before, between or after the operands):
//   korva-convert URL OUTPUT [--links absolute|external|null] [--follow N] [--scope folder|site]
//                 [--classic] [--sequential] [--quiet] [--browser auto|off|PATH]
//   korva-convert --version | --help
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/ports.h"

inline constexpr std::string_view kUsage =
    "usage: korva-convert URL OUTPUT [--links absolute|external|null] [--follow N]\n"
    "                     [--scope folder|site] [--classic] [--sequential] [--quiet]\n"
    "                     [--browser auto|off|PATH]\n"
    "       korva-convert --version | --help";

struct Arguments {
    std::string url;
    std::string output;
    engine::LinkMode mode = engine::LinkMode::Absolute;
    bool classic = false;                // the original capture: "chm<N>" names in one folder
    bool sequential = false;             // one address at a time
    std::optional<int> follow;           // links to follow from the start page, over the settings
    std::optional<bool> wholeSite;       // --scope site, over the settings
    std::optional<std::string> browser;  // the Browser setting, over the settings
    bool quiet = false;                  // no progress line, no summary of what was left out
};

// Nothing when the command line is not one of the forms above; then `problem` says why.
std::optional<Arguments> ParseArguments(int argc, char** argv, std::string& problem);
