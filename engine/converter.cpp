// The run's steps in their order. Nothing here catches RunError: an error ends the run where
// it happens and the caller shows it.
#include "engine/converter.h"

#include "common/visible_text.h"
#include "engine/prefetch_plan.h"
#include "engine/project_file.h"
#include "engine/resource_linker.h"
#include "engine/run_error.h"
#include "engine/style_sheet.h"
#include "engine/tag_scanner.h"
#include "engine/text.h"
#include "engine/url.h"

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
    guard_.Start(limits, interrupted);
    files_.MakeFolder(TempDir + std::string(kIncomingFolder));
    Net.SortBodies(TempDir + std::string(kIncomingFolder),
                   [this](std::string_view url, std::string_view headers) {
                       return inMemory_.contains(FoldCase(url)) || IsRewritten(headers);
                   });
    Net.StopWhen([this] { return guard_.ShouldStop(); });
    Net.PlanWith(
        [this](std::string_view asked, std::string_view address, std::string_view headers,
               std::string_view body) { return PlanAhead(asked, address, headers, body); });
    try {
        Run(typedUrl, outputFile);
    } catch (...) {
        if (!TempDir.empty()) {
            files_.ClearFolder(TempDir);  // so that the next run starts clean
        }
        throw;
    }
}

void Converter::Run(std::string_view typedUrl, const std::string& outputFile) {
    FoundError = false;
    sURL = typedUrl;
    tFiles = ResourceTable();
    names_ = MakeLocalNames(capture);
    startPage_ = {};
    book_ = Book(book);
    inMemory_.clear();
    leftOut_.clear();
    resourcesAsked_ = 0;
    // http://host becomes http://host/; a local path keeps its slashes as typed.
    if (CountOcc(sURL, "/") == 2 && InStr(sURL, "://") != 0) {
        sURL += "/";
    }
    const std::string stored = GetPage(sURL);
    if (browser != nullptr) {
        browser->Finish();
    }
    const std::string startPage = FoundError ? LocalStartPage() : stored;

    const std::string project = TempDir + std::string(kProjectFile);
    if (capture == Capture::Complete) {
        WriteNavigation();
        const bool pages = !book_.pages().empty();
        const HelpNavigation navigation{pages ? std::string(kContentsFile) : "",
                                        pages ? std::string(kIndexFile) : ""};
        files_.WriteFile(project, ProjectText(startPage, tFiles, &navigation));
    } else {
        files_.WriteFile(project, ProjectText(startPage, tFiles));
    }
    Compile(project);
    DeleteWorkingFiles(stored);
    const std::string compiled = TempDir + std::string(kCompiledFile);
    files_.CopyFile(compiled, outputFile);
    files_.DeleteFile(compiled);
}

// A compile counts only when the compiler ended by itself in time, said it succeeded and
// wrote the compiled file; anything else ends the run before the output is touched.
void Converter::Compile(const std::string& project) {
    const ProcessOutcome outcome =
        runner_.ExecAndWait({sCompiler, project}, [this] { return guard_.ShouldStop(); });
    guard_.Check();
    const bool written = files_.FileExists(TempDir + std::string(kCompiledFile));
    using End = ProcessOutcome::End;
    if (outcome.end == End::Exited && outcome.code == kCompilerSucceeded && written) {
        return;
    }
    std::string why;
    switch (outcome.end) {
        case End::NotStarted:
            why = "it could not be started";
            break;
        case End::Exited:
            why = "exit status " + std::to_string(outcome.code);
            break;
        case End::Signalled:
            why = "ended by signal " + std::to_string(outcome.code);
            break;
        case End::TimedOut:
        case End::Stopped:
            why = "stopped after its time limit";
            break;
    }
    throw RunError{53, std::string("The help compiler failed (") + why +
                           (written ? ")" : "; no help file was written)")};
}

// The start page is held in memory whatever its type. When links are followed, the start
// page's robots.txt is read first, so the pages it names can be fetched ahead as it arrives.
std::string Converter::GetPage(const std::string& Url) {
    inMemory_.insert(FoldCase(Url));
    if (capture == Capture::Complete && book.follow > 0 && !OriginOf(Url).empty()) {
        ReadRobots(OriginOf(Url));
        book_.ScopeFrom(Url);
        book_.Plan(Url, 0);
    }
    std::string sData = std::move(Net.OpenURL(Url).bytes);
    guard_.Check();
    if (sData.empty()) {
        FoundError = true;
        startFailure_ = Net.LastFailure();
        return "";
    }
    const std::string pageUrl = Net.FinalUrl();
    startPage_ = {pageUrl, names_->StartPage(pageUrl)};
    if (capture == Capture::Classic) {
        StorePage(std::move(sData), pageUrl, startPage_.localName);
        return startPage_.localName;
    }
    BookPage start{pageUrl, startPage_.localName, 0, 0, Net.GetHeader(), "", {}};
    book_.Begin(std::move(start));
    book_.Alias(Url, 0);
    StoreBookPage(0, std::move(sData));
    StoreHeldPages();
    return startPage_.localName;
}

std::string Converter::SaveFile(const std::string& Url) {
    guard_.Check();
    if (const std::string* known = tFiles.Find(Url)) {
        return *known;
    }
    if (tFiles.Refused(Url)) {
        return "";
    }
    if (capture == Capture::Complete && EqualsNoCase(Url, startPage_.address)) {
        return startPage_.localName;  // the start page is where it was
    }
    Body body = Net.OpenURL(Url);
    guard_.Check();  // a transfer cut short by the run's end delivers nothing: no message
    ++resourcesAsked_;
    if (body.size == 0) {
        leftOut_.push_back({Url, Net.LastFailure()});
    }
    const std::string headers = Net.GetHeader();
    std::optional<ContentKind> kind = body.size == 0 ? std::nullopt : KindOf(headers, capture);
    if (!kind && body.size != 0 && scriptLoads_) {
        kind = LoadedKind(Net.FinalUrl());
    }
    if (!kind) {
        tFiles.Refuse(Url);
        if (body.size != 0) {
            if (body.InFile()) {
                files_.DeleteFile(body.file);
            }
            host_.ShowMessage(common::VisibleText(headers));
        }
        return "";
    }
    const std::string finalUrl = Net.FinalUrl();  // before a nested document fetches again
    guard_.CountResource();
    std::string name = tFiles.Add(Url, names_->Resource(finalUrl, *kind, tFiles.nFiles()));
    Store(std::move(body), finalUrl, kind->handling, name);
    return name;
}

// The browser runs once the page is stored, so that what the tags named is known and each
// address it adds is fetched at most once.
void Converter::AddScriptLoads(const std::string& pageUrl) {
    if (browser == nullptr || capture != Capture::Complete) {
        return;
    }
    const PageLoads loads = browser->Probe(pageUrl, [this] { return guard_.ShouldStop(); });
    guard_.Check();
    if (!loads.notice.empty()) {
        host_.ShowMessage(loads.notice);
    }
    // SaveFile keeps types it does not know while this lasts, also when a limit throws.
    scriptLoads_ = true;
    const std::unique_ptr<bool, void (*)(bool*)> storing(&scriptLoads_,
                                                         [](bool* on) { *on = false; });
    for (const std::string& address : loads.addresses) {
        SaveFile(address);
    }
}

// A body in a file is one the sorter found no document in: it is stored as fetched.
void Converter::Store(Body body, const std::string& address, Handling handling,
                      const std::string& name) {
    if (body.InFile()) {
        guard_.CountStored(body.size);
        working_.Move(body.file, TempDir, name);
    } else if (nestedDocuments_ >= kMostNestedDocuments || handling == Handling::Store) {
        Keep(name, body.bytes);
    } else if (handling == Handling::Page) {
        StorePage(std::move(body.bytes), address, name);
    } else {
        StoreStyleSheet(body.bytes, address, name);
    }
}

// Whether a body of these headers is rewritten, and so must be held in memory.
bool Converter::IsRewritten(std::string_view headers) const {
    const std::optional<ContentKind> kind = KindOf(headers, capture);
    return kind && kind->handling != Handling::Store;
}

void Converter::StorePage(std::string sData, const std::string& pageUrl, const std::string& name) {
    ++nestedDocuments_;
    PageLinks* pages = book_.pages().empty() ? nullptr : this;
    IterateTags(sData, Document{pageUrl, name, capture, pages}, host_, *this);
    --nestedDocuments_;
    Keep(name, sData);
}

void Converter::StoreStyleSheet(const std::string& css, const std::string& sheetUrl,
                                const std::string& name) {
    ++nestedDocuments_;
    ResourceLinker linker(sheetUrl, name, capture, *this);
    const std::string rewritten =
        RewriteStyleSheet(css, [&linker](std::string_view ref) { return linker.Localize(ref); });
    --nestedDocuments_;
    Keep(name, rewritten);
}

// What a fetched document will ask for that the run does not know yet: the addresses a
// fetcher may get ahead of the run, the pages its links lead to among them when the book
// follows them from there.
std::vector<std::string> Converter::PlanAhead(std::string_view asked, std::string_view address,
                                              std::string_view headers, std::string_view body) {
    const int depth = capture == Capture::Complete ? book_.DepthOf(asked) : -1;
    const bool follow = depth >= 0 && depth < book.follow;
    std::vector<std::string> plan;
    for (PlannedFetch& fetch : PlanFetches(address, headers, body, capture, follow)) {
        if (fetch.page && Plannable(fetch.address)) {
            book_.Plan(fetch.address, depth + 1);
            plan.push_back(std::move(fetch.address));
        } else if (!fetch.page && tFiles.Find(fetch.address) == nullptr &&
                   !tFiles.Refused(fetch.address) && book_.Find(fetch.address) == nullptr) {
            plan.push_back(std::move(fetch.address));
        }
    }
    return plan;
}

void Converter::Keep(const std::string& name, std::string_view bytes) {
    guard_.CountStored(bytes.size());
    working_.Write(TempDir, name, bytes);
}

// The start page delivered nothing: a typed local path, or a "file:" address naming one
// (RFC 8089: "file:///p", "file://localhost/p", %-escapes decoded), becomes the project's
// start page, resolved against the current folder, as the compiler runs elsewhere.
std::string Converter::LocalStartPage() const {
    constexpr std::string_view kFileScheme = "file://";
    std::string path = sURL;
    if (StartsWithNoCase(sURL, 1, kFileScheme)) {
        std::string_view rest = std::string_view(sURL).substr(kFileScheme.size());
        if (StartsWithNoCase(rest, 1, "localhost/")) {
            rest.remove_prefix(std::string_view("localhost").size());
        }
        path = PercentDecoded(rest);
    }
    if (path.empty() || !files_.FileExists(path)) {
        const std::string cause = startFailure_.kind == kNotAWebAddress
                                      ? "not a web address, nor a file"
                                      : startFailure_.cause;
        throw RunError{404, cause.empty() ? std::string("Cannot open URL")
                                          : "Cannot open URL (" + common::VisibleText(cause) + ")"};
    }
    return files_.Absolute(path);
}

void Converter::DeleteWorkingFiles(const std::string& startPage) {
    files_.ClearFolder(TempDir + std::string(kIncomingFolder));  // what was fetched, not stored
    files_.RemoveFolder(TempDir + std::string(kIncomingFolder));
    files_.DeleteFile(TempDir + std::string(kContentsFile));
    files_.DeleteFile(TempDir + std::string(kIndexFile));
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
