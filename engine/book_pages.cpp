// The run's pages beyond the start page: links to follow are taken as they are met while a
// page is rewritten, breadth first, each page waiting in a file for its turn, so only one page
// is in memory at a time however large the book.
#include <string>

#include "engine/converter.h"
#include "engine/help_navigation.h"
#include "engine/run_error.h"
#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

constexpr std::string_view kRobotsAgent = "korva";

// The status of a response's status line, 0 when there is none.
int StatusOf(std::string_view headers) {
    const std::size_t blank = headers.find(' ');
    if (!headers.starts_with("HTTP/") || blank == std::string_view::npos) {
        return 0;
    }
    int status = 0;
    for (std::size_t at = blank + 1; at < headers.size() && at < blank + 4; ++at) {
        if (headers[at] < '0' || headers[at] > '9') {
            return 0;
        }
        status = status * 10 + (headers[at] - '0');
    }
    return status;
}

// What robots.txt rules match against: the path and query as requested.
std::string PathAndQuery(std::string_view address) {
    const UrlParts parts = SplitUrl(address);
    std::string path(parts.path.empty() ? std::string_view("/") : parts.path);
    if (parts.query) {
        path.push_back('?');
        path.append(*parts.query);
    }
    return path;
}

bool IsPage(std::string_view headers) {
    const std::optional<ContentKind> kind = KindOf(headers, Capture::Complete);
    return kind && kind->handling == Handling::Page;
}

}  // namespace

void Converter::StoreBookPage(std::size_t index, std::string sData) {
    BookPage& page = book_.page(index);
    page.outline = OutlineOf(sData, page.headers);
    const std::string address = page.address;  // the book grows while the page is rewritten
    const std::string name = page.localName;
    currentPage_ = index;
    StorePage(std::move(sData), address, name);
    AddScriptLoads(address);
}

void Converter::StoreHeldPages() {
    for (std::size_t index = 1; index < book_.pages().size(); ++index) {
        const std::string held = book_.pages()[index].held;
        std::string sData = files_.ReadFile(held);
        files_.DeleteFile(held);
        StoreBookPage(index, std::move(sData));
        host_.ShowPages(index + 1, book_.pages().size());
    }
    if (book_.leftOut() > 0) {
        host_.ShowMessage(std::to_string(book_.leftOut()) +
                          " linked pages were left out: the book holds at most " +
                          std::to_string(book.maxPages) + " pages (MaxPages)");
    }
}

std::optional<std::string> Converter::PageFor(const std::string& address, bool followed) {
    if (const BookPage* page = book_.Find(address)) {
        return page->localName;
    }
    if (const std::string* stored = tFiles.Find(address)) {
        return *stored;
    }
    if (!followed || !book_.FollowsFrom(currentPage_) || !book_.FirstAsked(address)) {
        return std::nullopt;
    }
    return TakePage(address);
}

// A page is taken when it is in scope, robots.txt allows it, there is room, and it answers
// with a page of its own that also lies in scope after its redirects.
std::optional<std::string> Converter::TakePage(const std::string& address) {
    if (!book_.InScope(address) || tFiles.Refused(address) || !RobotsAllow(address)) {
        return std::nullopt;
    }
    if (!book_.HasRoom()) {
        book_.LeaveOut();
        return std::nullopt;
    }
    Body body = Net.OpenURL(address);
    guard_.Check();
    const std::string headers = Net.GetHeader();
    const std::string finalUrl = Net.FinalUrl();
    if (body.InFile()) {
        files_.DeleteFile(body.file);
    }
    if (body.bytes.empty() || !IsPage(headers) || !book_.InScope(finalUrl)) {
        return std::nullopt;
    }
    if (const BookPage* same = book_.Find(finalUrl)) {
        book_.Alias(address, static_cast<std::size_t>(same - book_.pages().data()));
        return same->localName;
    }
    guard_.CountResource();
    const std::string name =
        tFiles.Add(address, names_->Resource(finalUrl, PageKind(), tFiles.nFiles()));
    const std::string held =
        TempDir + std::string(kIncomingFolder) + "page-" + std::to_string(book_.pages().size());
    files_.WriteFile(held, body.bytes);
    book_.Add(
        address,
        {finalUrl, name, currentPage_, book_.pages()[currentPage_].depth + 1, headers, held, {}});
    return name;
}

bool Converter::RobotsAllow(const std::string& address) {
    const std::string origin = OriginOf(address);
    if (book_.RulesFor(origin) == nullptr) {
        ReadRobots(origin);
    }
    return book_.RulesFor(origin)->Allows(PathAndQuery(address));
}

// A missing file (4xx) allows everything; one the server or the network would not give
// (5xx, no answer) allows nothing beyond the start page, as RFC 9309 says.
void Converter::ReadRobots(const std::string& origin) {
    const std::string address = origin + "/robots.txt";
    inMemory_.insert(FoldCase(address));
    Body body = Net.OpenURL(address);
    guard_.Check();
    const int status = StatusOf(Net.GetHeader());
    if (status >= 200 && status < 300) {
        book_.SetRules(origin, RobotsRules::Parse(body.bytes, kRobotsAgent));
    } else if (status >= 400 && status < 500) {
        book_.SetRules(origin, RobotsRules());
    } else {
        book_.SetRules(origin, RobotsRules::DisallowAll());
        host_.ShowMessage(
            address + " could not be read (" +
            (status == 0 ? std::string("no answer") : "status " + std::to_string(status)) +
            "): no linked page is taken from " + origin);
    }
}

// Only what the run will take: a new page in scope, allowed by robots.txt rules already read,
// while the book has room.
bool Converter::Plannable(const std::string& address) const {
    const RobotsRules* rules = book_.RulesFor(OriginOf(address));
    return !book_.Asked(address) && book_.InScope(address) && rules != nullptr &&
           rules->Allows(PathAndQuery(address)) && book_.planned() < book.maxPages;
}

void Converter::WriteNavigation() {
    if (book_.pages().empty()) {
        return;
    }
    files_.WriteFile(TempDir + std::string(kContentsFile), ContentsFile(book_.pages()));
    files_.WriteFile(TempDir + std::string(kIndexFile), IndexFile(book_.pages()));
}

}  // namespace engine
