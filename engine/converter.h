// One conversion run: from the typed address to the help file at the output path. The run
// fetches the start page, rewrites it and every page it stores, writes the project, starts
// the compiler, cleans the working folder and copies the compiled file out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ports.h"
#include "engine/resources.h"

namespace engine {

inline constexpr std::string_view kStartPageFile = "chmindex.htm";
inline constexpr std::string_view kProjectFile = "chmkorva.hhp";
inline constexpr std::string_view kCompiledFile = "chmkorva.chm";

// Non-overlapping occurrences of `String2` in `String1`, letter case ignored.
std::int32_t CountOcc(std::string_view String1, std::string_view String2);

class Converter : public ResourceSaver {
public:
    Converter(Fetcher& Net, Host& host, ProcessRunner& runner, Files& files);

    // The whole run. Throws RunError (404 "Cannot open URL", or a file error) and then leaves
    // the working files in place and nothing at `outputFile`.
    void Convert(std::string_view typedUrl, const std::string& outputFile);

    // Fetches the start page at `Url`, rewrites it and writes it to TempDir + `Filename`. Sets
    // FoundError when nothing was delivered.
    void GetPage(const std::string& Url, const std::string& Filename);

    // Stores one resource, once per address in a run (letter case ignored), named by its
    // content type. A page is rewritten, its own resources stored first.
    std::string SaveFile(const std::string& Url) override;

    std::string sURL;       // the start page's address, as typed ("/" added to a bare host)
    std::string sCompiler;  // the help compiler's full path
    std::string TempDir;    // the private working folder, with its trailing "/"
    bool FoundError = false;
    ResourceTable tFiles;

private:
    void StorePage(std::string sData, const std::string& pageUrl, const std::string& Filename);
    std::string LocalStartPage() const;
    void DeleteWorkingFiles();

    Fetcher& Net;
    int nestedPages_ = 0;  // pages being converted, one inside another
    Host& host_;
    ProcessRunner& runner_;
    Files& files_;
};

}  // namespace engine
