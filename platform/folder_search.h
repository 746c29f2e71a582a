// The folder search that start-up uses to find the help compiler.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The name of the first ordinary file (a regular file whose name does not start with ".") in
// the folder part of `pattern` whose name matches its last part: "*" and "?" as wildcards,
// letter case ignored, "*.*" matching every name. "" when none matches or the folder can't be
// read. The folder part is everything up to the last "/"; without one it is the current folder.
std::string FolderSearch(std::string_view pattern);

// The compiler's full path when `folder` (with its trailing "/") holds "hhc.exe" in any letter
// case, else "". The file's own name is used, so HHC.EXE is started as it is spelled.
std::string FindHelpCompiler(std::string_view folder);

// The running program's own folder, with its trailing "/" ("./" when it can't be told): where
// hhc.exe is built and installed beside korva.
std::string ProgramFolder();

}  // namespace platform
