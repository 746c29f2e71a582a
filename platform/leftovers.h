// What runs that died leave behind: a working folder "korva-<pid>-XXXXXX" in the temporary
// folder, and a partial copy "<output>.korva-<pid>-<n>" beside an output file. The pid in each
// name tells whether the run that made it is still alive.
#pragma once

#include <string>

namespace platform {

// "korva-<pid>-": the start of this process's working folder's name.
std::string WorkingFolderPrefix();

// "<target>.korva-<pid>-": the start of the name of this process's partial copies of `target`.
std::string PartialCopyPrefix(const std::string& target);

// Removes the working folders in `temporaryFolder` whose run is no longer alive.
void RemoveStaleWorkingFolders(const std::string& temporaryFolder);

// Removes the partial copies of `target` whose run is no longer alive.
void RemoveStalePartialCopies(const std::string& target);

}  // namespace platform
