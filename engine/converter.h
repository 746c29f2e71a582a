// One conversion run: from the typed address to the help file at the output path. The run
// fetches the start page, rewrites it and every page it stores, writes the project, starts
// the compiler, cleans the working folder and copies the compiled file out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/book.h"
#include "engine/capture.h"
#include "engine/left_out.h"
#include "engine/link_rewriter.h"
#include "engine/local_names.h"
#include "engine/ports.h"
#include "engine/resources.h"
#include "engine/run_guard.h"
#include "engine/working_files.h"

namespace engine {

inline constexpr std::string_view kProjectFile = "chmkorva.hhp";
inline constexpr std::string_view kCompiledFile = "chmkorva.chm";
inline constexpr std::string_view kContentsFile = "chmkorva.hhc";
// Below the working folder: bodies stored as fetched, written here as they arrive and moved to
// their names once the run knows them, and pages waiting for their turn. No host and no
// classic name starts with ".".
inline constexpr std::string_view kIncomingFolder = ".incoming/";
inline constexpr std::string_view kIndexFile = "chmkorva.hhk";

// The help compiler's exit status when it wrote the compiled file, as the platform's own
// compiler has it and documentation tools test for.
inline constexpr int kCompilerSucceeded = 1;

// Non-overlapping occurrences of `String2` in `String1`, letter case ignored.
std::int32_t CountOcc(std::string_view String1, std::string_view String2);

class Converter : public ResourceSaver, public PageLinks {
public:
    Converter(Fetcher& Net, Host& host, ProcessRunner& runner, Files& files);

    // The whole run. Throws RunError (404 "Cannot open URL", a file error, a limit passed, an
    // interruption, a failed compile) and then leaves the working folder empty and `outputFile`
    // as it was.
    void Convert(std::string_view typedUrl, const std::string& outputFile);

    // Fetches the start page at `Url`, rewrites it and stores it, and in complete mode the
    // pages its links lead to as far as `book` says; returns its local name, or "" and sets
    // FoundError when nothing was delivered.
    std::string GetPage(const std::string& Url);

    // Stores one resource, once per address in a run (letter case ignored), named by its
    // content type. A page or style sheet is rewritten, its own resources stored first. An
    // address that gave nothing is not asked for again.
    std::string SaveFile(const std::string& Url) override;

    // Stores what a browser saw the stored page at `pageUrl` load, each address once at its
    // place in the site's layout; the page is not rewritten for them. Complete capture only.
    void AddScriptLoads(const std::string& pageUrl);

    // A page of the book, or another file the run stored; a link to follow from a page that
    // follows its links takes the page it leads to, when it is in scope and there is room.
    std::optional<std::string> PageFor(const std::string& address, bool followed) override;

    // After a run: what it could not store, and how many resources it asked for.
    const std::vector<LeftOut>& leftOut() const { return leftOut_; }

    std::size_t resourcesAsked() const { return resourcesAsked_; }

    std::string sURL;       // the start page's address, as typed ("/" added to a bare host)
    std::string sCompiler;  // the help compiler's full path
    std::string TempDir;    // the private working folder, with its trailing "/"
    bool FoundError = false;
    ResourceTable tFiles;
    Capture capture = Capture::Complete;
    RunLimits limits;
    BookOptions book;
    StopSignal interrupted;  // true once a signal asked the run to end

    // Tells what a stored page's scripts load; none: only what its tags name is stored.
    PageProbe* browser = nullptr;

private:
    void Run(std::string_view typedUrl, const std::string& outputFile);
    void Compile(const std::string& project);
    void Store(Body body, const std::string& address, Handling handling, const std::string& name);
    bool IsRewritten(std::string_view headers) const;
    void StorePage(std::string sData, const std::string& pageUrl, const std::string& name);
    void StoreBookPage(std::size_t index, std::string sData);
    void StoreHeldPages();
    std::optional<std::string> TakePage(const std::string& address);
    bool RobotsAllow(const std::string& address);
    void ReadRobots(const std::string& origin);
    bool Plannable(const std::string& address) const;
    void WriteNavigation();
    void StoreStyleSheet(const std::string& css, const std::string& sheetUrl,
                         const std::string& name);
    void Keep(const std::string& name, std::string_view bytes);
    std::vector<std::string> PlanAhead(std::string_view asked, std::string_view address,
                                       std::string_view headers, std::string_view body);
    std::string LocalStartPage() const;
    void DeleteWorkingFiles(const std::string& startPage);

    Fetcher& Net;
    Host& host_;
    ProcessRunner& runner_;
    Files& files_;
    WorkingFiles working_;
    std::unique_ptr<LocalNames> names_;
    ResourceRow startPage_;  // where the start page came from, and its local name
    Book book_;
    std::size_t currentPage_ = 0;               // of the book, being rewritten
    std::unordered_set<std::string> inMemory_;  // asked for as documents, whatever their type
    FetchFailure startFailure_;                 // why the start page gave nothing
    std::vector<LeftOut> leftOut_;
    std::size_t resourcesAsked_ = 0;
    int nestedDocuments_ = 0;  // pages and style sheets being rewritten, one inside another
    RunGuard guard_;

    // Storing what a browser saw a page load: a type the kinds table does not know is kept.
    bool scriptLoads_ = false;
};

}  // namespace engine
