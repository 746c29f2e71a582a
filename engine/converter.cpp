// The run's steps in their order. Nothing here catches RunError: an error ends the run where
// it happens and the caller shows it.
#include "engine/converter.h"

#include "engine/project_file.h"
#include "engine/run_error.h"
#include "engine/tag_scanner.h"
#include "engine/text.h"

namespace engine {

namespace {

// Every frame page is converted inside the scan of the page that names it. A chain of pages
// that name ever new pages would nest without end and overflow the stack; past this depth a
// page is stored as it came.
constexpr int kMostNestedPages = 64;

}  // namespace

std::int32_t CountOcc(std::string_view String1, std::string_view String2) {
    std::int32_t count = 0;
    if (String2.empty()) {
        return count;
    }
    for (std::size_t at = InStr(String1, String2); at != 0;
         at = InStr(String1, String2, at + String2.size())) {
        ++count;
    }
    return count;
}

Converter::Converter(Fetcher& net, Host& host, ProcessRunner& runner, Files& files)
    : Net(net), host_(host), runner_(runner), files_(files) {}

void Converter::Convert(std::string_view typedUrl, const std::string& outputFile) {
    FoundError = false;
    sURL = typedUrl;
    tFiles = ResourceTable();
    // http://host becomes http://host/; a local path keeps its slashes as typed.
    if (CountOcc(sURL, "/") == 2 && InStr(sURL, "://") != 0) {
        sURL += "/";
    }
    GetPage(sURL, std::string(kStartPageFile));
    const std::string startPage = FoundError ? LocalStartPage() : std::string(kStartPageFile);

    const std::string project = TempDir + std::string(kProjectFile);
    files_.WriteFile(project, ProjectText(startPage, tFiles));
    runner_.ExecAndWait({sCompiler, project});
    DeleteWorkingFiles();
    const std::string compiled = TempDir + std::string(kCompiledFile);
    files_.CopyFile(compiled, outputFile);
    files_.DeleteFile(compiled);
}

void Converter::GetPage(const std::string& Url, const std::string& Filename) {
    std::string sData = Net.OpenURL(Url);
    if (sData.empty()) {
        FoundError = true;
        return;
    }
    StorePage(std::move(sData), Net.FinalUrl(), Filename);
}

std::string Converter::SaveFile(const std::string& Url) {
    if (const std::string* known = tFiles.Find(Url)) {
        return *known;
    }
    std::string bytes = Net.OpenURL(Url);
    if (bytes.empty()) {
        return "";
    }
    const std::string headers = Net.GetHeader();
    const ContentKind* kind = KindOf(headers);
    if (kind == nullptr) {
        host_.ShowMessage(headers);
        return "";
    }
    const std::string finalUrl = Net.FinalUrl();  // before a nested page fetches again
    const std::string name = tFiles.Add(Url, kind->extension);
    if (kind->isPage && nestedPages_ < kMostNestedPages) {
        StorePage(std::move(bytes), finalUrl, name);
    } else {
        files_.WriteFile(TempDir + name, bytes);
    }
    return name;
}

void Converter::StorePage(std::string sData, const std::string& pageUrl,
                          const std::string& Filename) {
    ++nestedPages_;
    IterateTags(sData, pageUrl, host_, *this);
    --nestedPages_;
    files_.WriteFile(TempDir + Filename, sData);
}

// The start page delivered nothing: a typed local path, or a "file://" address naming one,
// becomes the project's start page unchanged.
std::string Converter::LocalStartPage() const {
    constexpr std::string_view kFileScheme = "file://";
    const std::string path =
        StartsWithNoCase(sURL, 1, kFileScheme) ? sURL.substr(kFileScheme.size()) : sURL;
    if (path.empty() || !files_.FileExists(path)) {
        throw RunError{404, "Cannot open URL"};
    }
    return path;
}

void Converter::DeleteWorkingFiles() {
    for (const ResourceRow& row : tFiles.tFiles()) {
        files_.DeleteFile(TempDir + row.localName);
    }
    files_.DeleteFile(TempDir + std::string(kProjectFile));
    files_.DeleteFile(TempDir + std::string(kStartPageFile));
}

}  // namespace engine
