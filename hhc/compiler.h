// The help compiler's one operation: read a project, store its files, write the .chm beside it
// (or where "Compiled file=" says). Input files are read in pieces and pages are scanned for
// their titles and encodings as they pass. The output appears under its final name only when it
// is complete: it is written to a temporary name first and renamed.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace hhc {

struct CompileOptions {
    // Threads that compress; 0 takes one per core. The output is the same for any count.
    unsigned threads = 0;
    // Where the per-file lines go when the project asks for them; nullptr: nowhere.
    std::ostream* progress = nullptr;
};

// Returns the path of the compiled file. Files that cannot be read are passed over with a line
// on `warnings`; throws hhc::Error when nothing could be compiled.
std::filesystem::path CompileProject(const std::filesystem::path& projectFile,
                                     std::ostream& warnings, const CompileOptions& options = {});

// The name a project entry is stored under: "/" plus its path relative to the project folder,
// with '/' separators; an absolute path inside the folder is made relative, one outside it
// (or reaching above it) keeps only its file name.
std::string StoredName(std::string_view entry, const std::filesystem::path& projectDir);

}  // namespace hhc
