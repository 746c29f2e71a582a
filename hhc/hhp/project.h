// The HTML Help project (.hhp): an INI-like text with [OPTIONS], [WINDOWS] and [FILES]. Other
// sections ([ALIAS], [MAP], [INFOTYPES], ...) are passed over. Section names and option keys
// ignore letter case; lines end in CR LF or LF; lines starting with ';' are comments. Every key
// of the platform's help compiler is known; those that change nothing here are accepted and
// dropped, and a key that compiler does not know is listed in unknownKeys.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hhc::hhp {

// One [WINDOWS] line: name="caption","contents","index","default","home",jump1 URL,
// jump1 text,jump2 URL,jump2 text,nav style,nav width,buttons,[l,t,r,b],style,ex style,
// show state,nav closed,default tab,tab position,notify id. Empty fields stay unset.
struct Window {
    std::string name;
    std::string caption, contentsFile, indexFile, defaultTopic, homeTopic;
    std::string jump1Url, jump1Text, jump2Url, jump2Text;
    std::optional<std::uint32_t> navStyle, navWidth, buttons, style, exStyle, showState, navClosed,
        defaultTab, tabPosition, notifyId;
    std::optional<std::array<std::int32_t, 4>> position;

    bool operator==(const Window&) const = default;
};

struct Project {
    std::string compiledFile;
    std::string defaultTopic;
    std::string defaultWindow;
    std::string title;
    std::string language;  // as written: "0x407 German (Germany)"
    std::string contentsFile;
    std::string indexFile;
    std::string defaultFont;
    bool fullTextSearch = false;
    std::string stopListFile;  // "Full text search stop list file"
    std::string errorLogFile;
    bool displayProgress = false;  // a line per compiled file
    bool binaryToc = false;        // asked for; the sitemap files are stored as they are
    bool binaryIndex = false;
    std::vector<std::string> unknownKeys;  // as first written, each once
    std::vector<Window> windows;
    std::vector<std::string> files;  // [FILES] lines as written

    bool operator==(const Project&) const = default;
};

Project ParseProject(std::string_view text);

// `line` is what follows the window name and '='.
Window ParseWindow(std::string_view name, std::string_view definition);

// The leading number of a Language value (hex with 0x, else decimal); nothing when it is missing,
// unreadable or zero, since a viewer aborts on a file whose language is 0.
std::optional<std::uint32_t> LanguageId(std::string_view language);

}  // namespace hhc::hhp
