// Project to .chm. Topic references (default topic, window files) go through the same naming
// as [FILES] entries, so a topic written as an absolute path finds its stored file. Stored
// names are unique without regard to letter case, since every reader looks names up that way.
// The language, and with it the code page of the titles and of the search index's words, is
// settled once every page is read.
#include "hhc/compiler.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "common/ascii.h"
#include "common/html/charset.h"
#include "common/html/title.h"
#include "hhc/chm/chm_writer.h"
#include "hhc/error.h"
#include "hhc/fts/search_index.h"
#include "hhc/hhp/project.h"
#include "hhc/input_file.h"
#include "hhc/messages.h"
#include "hhc/output_target.h"
#include "hhc/sysfiles/code_page.h"
#include "hhc/sysfiles/string_pool.h"
#include "hhc/sysfiles/system_file.h"
#include "hhc/sysfiles/topic_tables.h"
#include "hhc/sysfiles/windows_file.h"

namespace hhc {

namespace fs = std::filesystem;

namespace {

// Input is read in pieces of this size, so memory does not grow with the largest file.
constexpr std::size_t kReadPiece = 1 << 16;

std::string Slashes(std::string_view s) {
    std::string out(s);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool IsPage(std::string_view name) {
    const std::string lower = common::LowerAscii(name);
    return lower.ends_with(".htm") || lower.ends_with(".html");
}

std::uint32_t Timestamp() {
    // A fixed time makes builds reproducible where the environment asks for it.
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        return static_cast<std::uint32_t>(std::strtoul(epoch, nullptr, 10));
    }
    return static_cast<std::uint32_t>(std::time(nullptr));
}

unsigned Threads(const CompileOptions& options) {
    return options.threads != 0 ? options.threads
                                : std::max(1u, std::thread::hardware_concurrency());
}

// A name of its own beside `target`, so two compilers writing the same output share nothing.
fs::path TempBeside(const fs::path& target, std::string_view kind) {
    return target.string() + "." + std::string(kind) + std::to_string(std::random_device{}());
}

// Opened, then removed at once: the open stream keeps the file, and no way of ending leaves it.
std::fstream AnonymousStore(const fs::path& path) {
    std::fstream store(path, std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
    std::error_code ignored;
    fs::remove(path, ignored);
    if (!store) {
        throw Error("cannot write beside " + path.parent_path().string());
    }
    return store;
}

// What a page says about itself, gathered while its bytes pass on their way to the compressor.
struct PageScan {
    common::html::TitleFinder title;
    common::html::CharsetSniffer charset;
};

struct Page {
    std::string path;  // stored name without the leading '/'
    std::optional<std::string> rawTitle;
    std::optional<common::html::Encoding> encoding;
};

class Compilation {
public:
    Compilation(const fs::path& projectFile, std::ostream& warnings, const CompileOptions& options);
    fs::path Run();

private:
    std::string Topic(std::string_view value) const;
    fs::path ProjectPath(std::string_view value) const;
    void ReportOptions(const CompileOptions& options);
    fts::StopWords ReadStopList();
    fs::path Compile();
    bool Store(std::string_view entry);
    bool StreamFile(const fs::path& source, const std::string& name, std::string& why);
    void AddSearchIndex(const sysfiles::CodePage& codePage, sysfiles::SystemInfo& info);
    void AddSystemFiles();
    void WriteOutput(const chm::HeaderInfo& header);

    fs::path projectFile_;
    fs::path projectDir_;
    Messages messages_;
    hhp::Project project_;
    std::uint32_t timestamp_;
    fs::path output_;  // as the project names it
    unsigned threads_;
    fs::path target_;  // what is replaced: the file a link names
    std::fstream content_;
    std::optional<chm::ChmWriter> writer_;
    std::map<std::string, fs::path> sourceByFoldedName_;
    std::vector<std::string> stored_;
    std::vector<Page> pages_;
    std::unique_ptr<fts::SearchIndex> search_;  // with Full-text search=Yes
};

hhp::Project ReadProject(const fs::path& projectFile) {
    std::string why;
    std::optional<InputFile> in = InputFile::Open(projectFile, why);
    if (!in) {
        throw Error("cannot read project file " + projectFile.string() + ": " + why);
    }
    return hhp::ParseProject(in->ReadAll());
}

Compilation::Compilation(const fs::path& projectFile, std::ostream& warnings,
                         const CompileOptions& options)
    : projectFile_(fs::absolute(projectFile)),
      projectDir_(projectFile_.parent_path()),
      messages_(warnings),
      project_(ReadProject(projectFile_)),
      timestamp_(Timestamp()),
      output_(project_.compiledFile.empty() ? projectDir_ / projectFile_.stem().concat(".chm")
                                            : ProjectPath(project_.compiledFile)),
      threads_(Threads(options)) {
    ReportOptions(options);
    if (project_.fullTextSearch) {
        search_ = std::make_unique<fts::SearchIndex>(ReadStopList());
    }
}

fs::path Compilation::ProjectPath(std::string_view value) const {
    return projectDir_ / fs::path(Slashes(value));
}

void Compilation::ReportOptions(const CompileOptions& options) {
    if (!project_.errorLogFile.empty()) {
        messages_.OpenLog(ProjectPath(project_.errorLogFile));
    }
    messages_.SetProgress(project_.displayProgress ? options.progress : nullptr);
    for (const std::string& key : project_.unknownKeys) {
        messages_.Warning("unknown [OPTIONS] key \"" + key + "\" ignored");
    }
    if (project_.binaryToc || project_.binaryIndex) {
        messages_.Note(
            "Binary TOC and Binary Index are not written; the contents and index "
            "files are stored as they are");
    }
}

fts::StopWords Compilation::ReadStopList() {
    if (project_.stopListFile.empty()) {
        return {};
    }
    const fs::path path = ProjectPath(project_.stopListFile);
    std::string why;
    std::optional<InputFile> in = InputFile::Open(path, why);
    if (!in) {
        messages_.Warning("cannot read the stop list file " + path.string() + " (" + why +
                          "), every word indexed");
        return {};
    }
    return fts::ReadStopWords(in->ReadAll());
}

std::string Compilation::Topic(std::string_view value) const {
    if (value.empty() || value.find("://") != std::string_view::npos) {
        return std::string(value);
    }
    return StoredName(value, projectDir_).substr(1);
}

// False, with the reason in `why`, when the file cannot be opened; a file that fails part way
// has been partly stored, so that ends the compilation.
bool Compilation::StreamFile(const fs::path& source, const std::string& name, std::string& why) {
    std::optional<InputFile> in = InputFile::Open(source, why);
    if (!in) {
        return false;
    }
    std::optional<PageScan> scan;
    if (IsPage(name)) {
        scan.emplace();
    }
    messages_.Progress(name);
    writer_->BeginFile(name);
    std::vector<char> buffer(kReadPiece);
    while (const std::size_t got = in->Read(buffer.data(), buffer.size())) {
        const std::string_view piece(buffer.data(), got);
        writer_->Append(std::span(reinterpret_cast<const std::uint8_t*>(piece.data()), got));
        if (scan) {
            scan->title.Feed(piece);
            scan->charset.Feed(piece);
            if (search_) {
                search_->Feed(piece);
            }
        }
    }
    if (scan) {
        pages_.push_back(Page{name.substr(1), scan->title.RawTitle(), scan->charset.Result()});
        if (search_) {
            search_->EndTopic();  // the page's place in pages_ is its topic number
        }
    }
    return true;
}

bool Compilation::Store(std::string_view entry) {
    const std::string name = StoredName(entry, projectDir_);
    const std::string path = Slashes(entry);
    const fs::path source =
        (fs::path(path).is_absolute() ? fs::path(path) : projectDir_ / fs::path(path))
            .lexically_normal();
    if (const auto it = sourceByFoldedName_.find(common::LowerAscii(name));
        it != sourceByFoldedName_.end()) {
        if (it->second == source) {
            return true;  // the same file named twice is stored once
        }
        messages_.Warning(source.string() + " would be stored as " + name + " like " +
                          it->second.string() + ", not stored");
        return false;
    }
    std::string why = "no file name";
    if (name == "/" || !StreamFile(source, name, why)) {
        messages_.Warning("cannot read " + source.string() + " (" + why + "), not stored");
        return false;
    }
    sourceByFoldedName_.emplace(common::LowerAscii(name), source);
    stored_.push_back(name);
    return true;
}

void Compilation::AddSearchIndex(const sysfiles::CodePage& codePage, sysfiles::SystemInfo& info) {
    if (!search_) {
        return;
    }
    // Readers take the search's code page from the LCID; the field is for the record.
    const std::uint32_t codePageNumber = codePage.encoding == common::html::Encoding::kUtf8 ? 65001
                                         : codePage.encoding == common::html::Encoding::kWindows1252
                                             ? 1252
                                             : 0;
    writer_->AddFile("/$FIftiMain",
                     search_->Finish(codePage.encoding, codePage.lcid, codePageNumber));
    info.fullTextSearch = true;
}

void Compilation::AddSystemFiles() {
    std::vector<hhp::Window> windows = project_.windows;
    const hhp::Window* defaultWindow = nullptr;
    for (hhp::Window& w : windows) {
        w.contentsFile = Topic(w.contentsFile);
        w.indexFile = Topic(w.indexFile);
        w.defaultTopic = Topic(w.defaultTopic);
        w.homeTopic = Topic(w.homeTopic);
        if (common::LowerAscii(w.name) == common::LowerAscii(project_.defaultWindow)) {
            defaultWindow = &w;
        }
    }

    const bool utf8Pages = std::any_of(pages_.begin(), pages_.end(), [](const Page& p) {
        return p.encoding == common::html::Encoding::kUtf8;
    });
    const sysfiles::CodePage codePage =
        sysfiles::ProjectCodePage(hhp::LanguageId(project_.language), utf8Pages);

    sysfiles::SystemInfo info;
    info.defaultTopic = Topic(project_.defaultTopic);
    if (info.defaultTopic.empty() && defaultWindow != nullptr) {
        info.defaultTopic = defaultWindow->defaultTopic;
    }
    if (info.defaultTopic.empty()) {
        info.defaultTopic = stored_.front().substr(1);
    }
    info.title = project_.title;
    if (info.title.empty() && defaultWindow != nullptr) {
        info.title = defaultWindow->caption;
    }
    info.defaultWindow = defaultWindow != nullptr ? defaultWindow->name : std::string();
    info.compiledName = common::LowerAscii(output_.stem().string());
    info.contentsFile = Topic(project_.contentsFile);
    info.indexFile = Topic(project_.indexFile);
    info.defaultFont = project_.defaultFont;
    info.lcid = codePage.lcid;
    info.timestamp = timestamp_;

    std::vector<sysfiles::Topic> topics;
    for (const Page& page : pages_) {
        // A title is moved into the file's code page before its references are decoded, so a
        // reference to a character that code page lacks stays as written.
        const std::string title =
            page.rawTitle ? common::html::CleanTitle(
                                common::html::Transcode(*page.rawTitle,
                                                        page.encoding.value_or(codePage.encoding),
                                                        codePage.encoding),
                                codePage.encoding)
                          : std::string();
        topics.push_back(sysfiles::Topic{page.path, title});
    }

    sysfiles::StringPool strings;
    const std::vector<std::uint8_t> windowsFile = sysfiles::WindowsFile(windows, strings);
    const sysfiles::TopicTables tables = sysfiles::BuildTopicTables(topics, strings);
    writer_->AddFile("/#WINDOWS", windowsFile);
    writer_->AddFile("/#TOPICS", tables.topics);
    writer_->AddFile("/#URLTBL", tables.urlTable);
    writer_->AddFile("/#URLSTR", tables.urlStrings);
    writer_->AddFile("/#IDXHDR", sysfiles::IndexHeader(static_cast<std::uint32_t>(topics.size()),
                                                       info.timestamp));
    writer_->AddFile("/#STRINGS", strings.Bytes());
    AddSearchIndex(codePage, info);
    writer_->AddUncompressedFile("/#SYSTEM", sysfiles::SystemFile(info));
    writer_->AddUncompressedFile("/#ITBITS", {});
    WriteOutput(chm::HeaderInfo{codePage.lcid, timestamp_});
}

void Compilation::WriteOutput(const chm::HeaderInfo& header) {
    const fs::path temp = TempBeside(target_, "part");
    try {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw Error("cannot write " + output_.string());
        }
        writer_->Finish(out, header);
        out.close();
        if (!out) {
            throw Error("cannot write " + output_.string());
        }
        std::error_code ec;
        fs::rename(temp, target_, ec);
        if (ec) {
            throw Error("cannot write " + output_.string() + ": " + ec.message());
        }
    } catch (...) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
}

fs::path Compilation::Run() {
    try {
        return Compile();
    } catch (const std::exception& e) {
        messages_.Error(e.what());
        throw;
    }
}

fs::path Compilation::Compile() {
    // Settled before any file is read, so a refused output costs nothing and writes nothing.
    target_ = OutputTarget(output_);
    content_ = AnonymousStore(TempBeside(target_, "lzx"));
    writer_.emplace(content_, lzx::EncoderOptions{.threads = threads_});
    bool anyStored = false;
    for (const std::string& entry : project_.files) {
        anyStored = Store(entry) || anyStored;
    }
    if (!anyStored) {
        throw Error("no file listed under [FILES] could be read");
    }
    for (const std::string* extra : {&project_.contentsFile, &project_.indexFile}) {
        if (!extra->empty()) {
            Store(*extra);
        }
    }
    AddSystemFiles();
    return output_;
}

}  // namespace

namespace {

// Inserting rather than concatenating sidesteps a false -Wrestrict of GCC 12.
std::string Rooted(std::string path) {
    path.insert(path.begin(), '/');
    return path;
}

}  // namespace

std::string StoredName(std::string_view entry, const fs::path& projectDir) {
    const fs::path path = fs::path(Slashes(entry)).lexically_normal();
    fs::path rel = path;
    if (path.is_absolute()) {
        rel = path.lexically_relative(projectDir.lexically_normal());
    }
    const std::string text = rel.generic_string();
    if (rel.empty() || text == "." || text.starts_with("..") || rel.is_absolute()) {
        return Rooted(path.filename().generic_string());
    }
    return Rooted(text);
}

fs::path CompileProject(const fs::path& projectFile, std::ostream& warnings,
                        const CompileOptions& options) {
    return Compilation(projectFile, warnings, options).Run();
}

}  // namespace hhc
