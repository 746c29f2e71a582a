// Where the settings point when nothing is stored.
#pragma once

#include <string>

namespace settings {

// The default of "HHC": the running program's own folder, where hhc.exe is built and
// installed beside it.
std::string DefaultCompilerFolder();

// The default of "OutputDir", and the folder that replaces an unusable one: the home folder
// (HOME, else "/", as Qt finds it).
std::string DefaultOutputFolder();

}  // namespace settings
