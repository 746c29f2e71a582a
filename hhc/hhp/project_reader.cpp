// Project file reader. Lines end in LF, CR LF or CR; empty lines are skipped. Values run from after
// the first '=' to the end of the line, trimmed. Window fields split at commas outside double
// quotes and outside the bracketed position.
#include <cstdlib>

#include "common/ascii.h"
#include "hhc/hhp/project.h"

namespace hhc::hhp {

namespace {

std::string_view Trim(std::string_view s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string Unquote(std::string_view field) {
    field = Trim(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        field = field.substr(1, field.size() - 2);
    }
    return std::string(field);
}

// Decimal or 0x hex; an empty or unreadable field is unset.
std::optional<std::uint32_t> Number(std::string_view field) {
    const std::string text(Trim(field));
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const unsigned long long v = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (end == text.c_str()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(v);
}

std::vector<std::string_view> SplitFields(std::string_view s) {
    std::vector<std::string_view> fields;
    bool quoted = false;
    int bracket = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '[') {
            ++bracket;
        } else if (!quoted && c == ']' && bracket > 0) {
            --bracket;
        } else if (!quoted && bracket == 0 && c == ',') {
            fields.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(s.substr(start));
    return fields;
}

std::optional<std::array<std::int32_t, 4>> Position(std::string_view field) {
    field = Trim(field);
    if (field.size() < 2 || field.front() != '[' || field.back() != ']') {
        return std::nullopt;
    }
    const std::vector<std::string_view> parts = SplitFields(field.substr(1, field.size() - 2));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    std::array<std::int32_t, 4> rect{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string text(Trim(parts[i]));
        rect[i] = static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 0));
    }
    return rect;
}

void SetOption(Project& p, std::string_view key, std::string_view value) {
    struct TextKey {
        std::string_view name;
        std::string Project::*field;
    };

    struct YesNoKey {
        std::string_view name;
        bool Project::*field;
    };

    static const TextKey kTextKeys[] = {
        {"Compiled file", &Project::compiledFile},
        {"Default topic", &Project::defaultTopic},
        {"Default Window", &Project::defaultWindow},
        {"Title", &Project::title},
        {"Language", &Project::language},
        {"Contents file", &Project::contentsFile},
        {"Index file", &Project::indexFile},
        {"Default font", &Project::defaultFont},
        {"Full text search stop list file", &Project::stopListFile},
        {"Error log file", &Project::errorLogFile},
    };
    static const YesNoKey kYesNoKeys[] = {
        {"Full-text search", &Project::fullTextSearch},
        {"Display compile progress", &Project::displayProgress},
        {"Binary TOC", &Project::binaryToc},
        {"Binary Index", &Project::binaryIndex},
    };
    // Keys of the platform's compiler whose effect this compiler does not have or need.
    static const std::string_view kAcceptedKeys[] = {
        "Auto Index",
        "Auto TOC",
        "CITATION",
        "COMPRESS",
        "COPYRIGHT",
        "Compatibility",
        "Create CHI file",
        "Custom tab",
        "DBCS",
        "Display compile notes",
        "Enhanced decompilation",
        "Flat",
        "IGNORE",
        "PREFIX",
        "Sample Staging Path",
        "Sample list file",
        "TMPDIR",
    };
    for (const TextKey& k : kTextKeys) {
        if (common::EqualIgnoringCase(key, k.name)) {
            p.*k.field = std::string(value);
            return;
        }
    }
    for (const YesNoKey& k : kYesNoKeys) {
        if (common::EqualIgnoringCase(key, k.name)) {
            p.*k.field = common::EqualIgnoringCase(value, "Yes");
            return;
        }
    }
    for (const std::string_view accepted : kAcceptedKeys) {
        if (common::EqualIgnoringCase(key, accepted)) {
            return;
        }
    }
    for (const std::string& unknown : p.unknownKeys) {
        if (common::EqualIgnoringCase(key, unknown)) {
            return;
        }
    }
    p.unknownKeys.emplace_back(key);
}

}  // namespace

Window ParseWindow(std::string_view name, std::string_view definition) {
    Window w;
    w.name = std::string(Trim(name));
    const std::vector<std::string_view> f = SplitFields(definition);
    const auto text = [&](std::size_t i) { return i < f.size() ? Unquote(f[i]) : std::string(); };
    const auto number = [&](std::size_t i) {
        return i < f.size() ? Number(f[i]) : std::optional<std::uint32_t>();
    };
    w.caption = text(0);
    w.contentsFile = text(1);
    w.indexFile = text(2);
    w.defaultTopic = text(3);
    w.homeTopic = text(4);
    w.jump1Url = text(5);
    w.jump1Text = text(6);
    w.jump2Url = text(7);
    w.jump2Text = text(8);
    w.navStyle = number(9);
    w.navWidth = number(10);
    w.buttons = number(11);
    if (f.size() > 12) {
        w.position = Position(f[12]);
    }
    w.style = number(13);
    w.exStyle = number(14);
    w.showState = number(15);
    w.navClosed = number(16);
    w.defaultTab = number(17);
    w.tabPosition = number(18);
    w.notifyId = number(19);
    return w;
}

Project ParseProject(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    enum class Section { kOther, kOptions, kWindows, kFiles };
    Section section = Section::kOther;
    Project project;
    while (!text.empty()) {
        // A lone CR ends a line as well, so no value ever holds one.
        const std::size_t eol = text.find_first_of("\r\n");
        std::string_view line = Trim(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            section = common::EqualIgnoringCase(name, "OPTIONS")   ? Section::kOptions
                      : common::EqualIgnoringCase(name, "WINDOWS") ? Section::kWindows
                      : common::EqualIgnoringCase(name, "FILES")   ? Section::kFiles
                                                                   : Section::kOther;
            continue;
        }
        const std::size_t eq = line.find('=');
        switch (section) {
            case Section::kOptions:
                if (eq != std::string_view::npos) {
                    SetOption(project, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
                }
                break;
            case Section::kWindows:
                if (eq != std::string_view::npos && eq > 0) {
                    project.windows.push_back(ParseWindow(line.substr(0, eq), line.substr(eq + 1)));
                }
                break;
            case Section::kFiles:
                project.files.emplace_back(line);
                break;
            case Section::kOther:
                break;
        }
    }
    return project;
}

std::optional<std::uint32_t> LanguageId(std::string_view language) {
    const std::optional<std::uint32_t> id =
        Number(Trim(language).substr(0, Trim(language).find_first_of(" \t")));
    return id.value_or(0) != 0 ? id : std::nullopt;
}

}  // namespace hhc::hhp
