// Project to .chm. Topic references (default topic, window files) go through the same naming
// as [FILES] entries, so a topic written as an absolute path finds its stored file. Stored
// names are unique without regard to letter case, since every reader looks names up that way.
#include "hhc/compiler.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <random>
#include <vector>

#include "hhc/chm/chm_writer.h"
#include "hhc/chm/system_files.h"
#include "hhc/error.h"
#include "hhc/hhp/project.h"
#include "hhc/messages.h"

namespace hhc {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return out;
}

std::string Slashes(std::string_view s) {
    std::string out(s);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool ReadFile(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!in || ec) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return in.gcount() == static_cast<std::streamsize>(size);
}

bool IsPage(std::string_view name) {
    const std::string lower = Lower(name);
    return lower.ends_with(".htm") || lower.ends_with(".html");
}

std::uint32_t Timestamp() {
    // A fixed time makes builds reproducible where the environment asks for it.
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        return static_cast<std::uint32_t>(std::strtoul(epoch, nullptr, 10));
    }
    return static_cast<std::uint32_t>(std::time(nullptr));
}

class Compilation {
public:
    Compilation(const fs::path& projectFile, std::ostream& warnings, const CompileOptions& options);
    fs::path Run();

private:
    std::string Topic(std::string_view value) const;
    fs::path ProjectPath(std::string_view value) const;
    void ReportOptions(const CompileOptions& options);
    fs::path Compile();
    bool Store(std::string_view entry);
    void AddSystemFiles();
    void WriteOutput();

    fs::path projectFile_;
    fs::path projectDir_;
    fs::path output_;
    Messages messages_;
    hhp::Project project_;
    std::uint32_t timestamp_;
    chm::ChmWriter writer_;
    std::map<std::string, fs::path> sourceByFoldedName_;
    std::vector<std::string> stored_;
    std::vector<chm::Topic> topics_;
};

hhp::Project ReadProject(const fs::path& projectFile) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(projectFile, bytes)) {
        throw Error("cannot read project file " + projectFile.string());
    }
    return hhp::ParseProject(std::string(bytes.begin(), bytes.end()));
}

Compilation::Compilation(const fs::path& projectFile, std::ostream& warnings,
                         const CompileOptions& options)
    : projectFile_(fs::absolute(projectFile)),
      projectDir_(projectFile_.parent_path()),
      messages_(warnings),
      project_(ReadProject(projectFile_)),
      timestamp_(Timestamp()),
      writer_(hhp::LanguageId(project_.language), timestamp_, options.compress) {
    output_ = project_.compiledFile.empty() ? projectDir_ / projectFile_.stem().concat(".chm")
                                            : ProjectPath(project_.compiledFile);
    ReportOptions(options);
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

std::string Compilation::Topic(std::string_view value) const {
    if (value.empty() || value.find("://") != std::string_view::npos) {
        return std::string(value);
    }
    return StoredName(value, projectDir_).substr(1);
}

bool Compilation::Store(std::string_view entry) {
    const std::string name = StoredName(entry, projectDir_);
    const std::string path = Slashes(entry);
    const fs::path source =
        (fs::path(path).is_absolute() ? fs::path(path) : projectDir_ / fs::path(path))
            .lexically_normal();
    if (const auto it = sourceByFoldedName_.find(Lower(name)); it != sourceByFoldedName_.end()) {
        if (it->second == source) {
            return true;  // the same file named twice is stored once
        }
        messages_.Warning(source.string() + " would be stored as " + name + " like " +
                          it->second.string() + ", not stored");
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (name == "/" || !ReadFile(source, bytes)) {
        messages_.Warning("cannot read " + source.string() + ", not stored");
        return false;
    }
    messages_.Progress(name);
    writer_.AddFile(name, bytes);
    sourceByFoldedName_.emplace(Lower(name), source);
    stored_.push_back(name);
    if (IsPage(name)) {
        topics_.push_back(chm::Topic{name.substr(1)});
    }
    return true;
}

void Compilation::AddSystemFiles() {
    std::vector<hhp::Window> windows = project_.windows;
    const hhp::Window* defaultWindow = nullptr;
    for (hhp::Window& w : windows) {
        w.contentsFile = Topic(w.contentsFile);
        w.indexFile = Topic(w.indexFile);
        w.defaultTopic = Topic(w.defaultTopic);
        w.homeTopic = Topic(w.homeTopic);
        if (Lower(w.name) == Lower(project_.defaultWindow)) {
            defaultWindow = &w;
        }
    }

    chm::SystemInfo info;
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
    info.compiledName = Lower(output_.stem().string());
    info.contentsFile = Topic(project_.contentsFile);
    info.indexFile = Topic(project_.indexFile);
    info.defaultFont = project_.defaultFont;
    info.lcid = hhp::LanguageId(project_.language);
    info.timestamp = timestamp_;

    chm::StringPool strings;
    const std::vector<std::uint8_t> windowsFile = chm::WindowsFile(windows, strings);
    const chm::TopicTables tables = chm::BuildTopicTables(topics_);
    writer_.AddFile("/#WINDOWS", windowsFile);
    writer_.AddFile("/#TOPICS", tables.topics);
    writer_.AddFile("/#URLTBL", tables.urlTable);
    writer_.AddFile("/#URLSTR", tables.urlStrings);
    writer_.AddFile("/#IDXHDR",
                    chm::IndexHeader(static_cast<std::uint32_t>(topics_.size()), info.timestamp));
    writer_.AddFile("/#STRINGS", strings.Bytes());
    writer_.AddUncompressedFile("/#SYSTEM", chm::SystemFile(info));
    writer_.AddUncompressedFile("/#ITBITS", {});
}

void Compilation::WriteOutput() {
    // A name of its own, so two compilers writing the same output do not share a temporary.
    const fs::path temp = output_.string() + ".part" + std::to_string(std::random_device{}());
    try {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw Error("cannot write " + output_.string());
        }
        writer_.Finish(out);
        out.close();
        if (!out) {
            throw Error("cannot write " + output_.string());
        }
        std::error_code ec;
        fs::rename(temp, output_, ec);
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
    WriteOutput();
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
