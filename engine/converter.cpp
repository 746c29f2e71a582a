// The run's steps in their order. Nothing here catches RunError: an error ends the run where
// it happens and the caller shows it.
#include "engine/converter.h"

#include "engine/project_file.h"
#include "engine/resource_linker.h"
#include "engine/run_error.h"
#include "engine/style_sheet.h"
#include "engine/tag_scanner.h"
#include "engine/text.h"

namespace engine {

namespace {

// Every frame page and imported style sheet is rewritten inside the document that names it.
// A chain of documents that name ever new ones would nest without end and overflow the
// stack; past this depth a document is stored as it came.
constexpr int kMostNestedDocuments = 64;

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
    : Net(net), host_(host), runner_(runner), files_(files), working_(files) {}

void Converter::Convert(std::string_view typedUrl, const std::string& outputFile) {
    FoundError = false;
    sURL = typedUrl;
    tFiles = ResourceTable();
    names_ = MakeLocalNames(capture);
    startPage_ = {};
    // http://host becomes http://host/; a local path keeps its slashes as typed.
    if (CountOcc(sURL, "/") == 2 && InStr(sURL, "://") != 0) {
        sURL += "/";
    }
    const std::string stored = GetPage(sURL);
    const std::string startPage = FoundError ? LocalStartPage() : stored;

    const std::string project = TempDir + std::string(kProjectFile);
    files_.WriteFile(project, ProjectText(startPage, tFiles));
    runner_.ExecAndWait({sCompiler, project});
    DeleteWorkingFiles(stored);
    const std::string compiled = TempDir + std::string(kCompiledFile);
    files_.CopyFile(compiled, outputFile);
    files_.DeleteFile(compiled);
}

std::string Converter::GetPage(const std::string& Url) {
    std::string sData = Net.OpenURL(Url);
    if (sData.empty()) {
        FoundError = true;
        return "";
    }
    const std::string pageUrl = Net.FinalUrl();
    startPage_ = {pageUrl, names_->StartPage(pageUrl)};
    StorePage(std::move(sData), pageUrl, startPage_.localName);
    return startPage_.localName;
}

std::string Converter::SaveFile(const std::string& Url) {
    if (const std::string* known = tFiles.Find(Url)) {
        return *known;
    }
    if (tFiles.Refused(Url)) {
        return "";
    }
    if (capture == Capture::Complete && EqualsNoCase(Url, startPage_.address)) {
        return startPage_.localName;  // the start page is where it was
    }
    std::string bytes = Net.OpenURL(Url);
    const std::string headers = Net.GetHeader();
    const std::optional<ContentKind> kind = bytes.empty() ? std::nullopt : KindOf(headers, capture);
    if (!kind) {
        tFiles.Refuse(Url);
        if (!bytes.empty()) {
            host_.ShowMessage(headers);
        }
        return "";
    }
    const std::string finalUrl = Net.FinalUrl();  // before a nested document fetches again
    const std::string name = tFiles.Add(Url, names_->Resource(finalUrl, *kind, tFiles.nFiles()));
    Store(std::move(bytes), finalUrl, kind->handling, name);
    return name;
}

void Converter::Store(std::string bytes, const std::string& address, Handling handling,
                      const std::string& name) {
    if (nestedDocuments_ >= kMostNestedDocuments || handling == Handling::Store) {
        working_.Write(TempDir, name, bytes);
    } else if (handling == Handling::Page) {
        StorePage(std::move(bytes), address, name);
    } else {
        StoreStyleSheet(bytes, address, name);
    }
}

void Converter::StorePage(std::string sData, const std::string& pageUrl, const std::string& name) {
    ++nestedDocuments_;
    IterateTags(sData, Document{pageUrl, name, capture}, host_, *this);
    --nestedDocuments_;
    working_.Write(TempDir, name, sData);
}

void Converter::StoreStyleSheet(const std::string& css, const std::string& sheetUrl,
                                const std::string& name) {
    ++nestedDocuments_;
    ResourceLinker linker(sheetUrl, name, capture, *this);
    const std::string rewritten =
        RewriteStyleSheet(css, [&linker](std::string_view ref) { return linker.Localize(ref); });
    --nestedDocuments_;
    working_.Write(TempDir, name, rewritten);
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

void Converter::DeleteWorkingFiles(const std::string& startPage) {
    for (const ResourceRow& row : tFiles.tFiles()) {
        files_.DeleteFile(TempDir + row.localName);
    }
    files_.DeleteFile(TempDir + std::string(kProjectFile));
    if (!startPage.empty()) {
        files_.DeleteFile(TempDir + startPage);
    }
    working_.RemoveFolders(TempDir);
}

}  // namespace engine
