// Names of the site keep only characters that need no escaping in a file system, an
// attribute, a style sheet or an address, so references to them are written as they are.
#include "engine/local_names.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

constexpr std::string_view kIndexName = "index";

// A file system takes 255 bytes a name and 4096 a path: a longer segment keeps its start and
// ends in a hash of the whole, and folders past this depth are one folder named by a hash.
constexpr std::size_t kLongestSegment = 96;
constexpr std::size_t kDeepestFolder = 16;

bool IsKept(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') ||
           std::string_view("-._~!$+,;=@").find(c) != std::string_view::npos;
}

// "-" and eight hex digits of the text's FNV-1a hash: short, and stable from run to run.
std::string HashSuffix(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    char suffix[10];
    std::snprintf(suffix, sizeof suffix, "-%08x", hash);
    return suffix;
}

// A path segment as a file name: %-escapes decoded, every other character "_".
std::string SafeSegment(std::string_view segment) {
    std::string safe = PercentDecoded(segment);
    for (char& c : safe) {
        c = IsKept(c) ? c : '_';
    }
    if (safe.size() > kLongestSegment) {
        const std::string suffix = HashSuffix(safe);
        safe.resize(kLongestSegment - suffix.size());
        safe += suffix;
    }
    return safe == "." || safe == ".." ? std::string("_") : safe;
}

// "127.0.0.1_8111" for "user@127.0.0.1:8111": the port's ":" like any other character.
std::string HostFolder(std::string_view authority) {
    const std::size_t at = authority.find('@');
    if (at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    return authority.empty() ? std::string("_") : SafeSegment(authority);
}

bool Fits(std::string_view extension, const ContentKind& kind) {
    if (extension.empty()) {
        return false;
    }
    const std::string folded = FoldCase(extension);
    if (folded == kind.extension) {
        return true;
    }
    for (std::string_view rest = kind.alsoFits; !rest.empty();) {
        const std::size_t blank = std::min(rest.find(' '), rest.size());
        if (rest.substr(0, blank) == folded) {
            return true;
        }
        rest.remove_prefix(std::min(blank + 1, rest.size()));
    }
    return false;
}

}  // namespace

std::string ClassicNames::StartPage(std::string_view) {
    return "chmindex.htm";
}

std::string ClassicNames::Resource(std::string_view, const ContentKind& kind, std::size_t row) {
    return "chm" + std::to_string(row) + kind.extension;
}

std::string SiteNames::StartPage(std::string_view address) {
    return Resource(address, PageKind(), 0);
}

std::string SiteNames::Resource(std::string_view address, const ContentKind& kind, std::size_t) {
    const UrlParts parts = SplitUrl(address);
    std::string stem = HostFolder(parts.authority.value_or(""));
    std::vector<std::string_view> segments;
    for (std::string_view path = parts.path; !path.empty();) {
        const std::size_t slash = std::min(path.find('/'), path.size());
        if (slash > 0) {
            segments.push_back(path.substr(0, slash));
        }
        path.remove_prefix(std::min(slash + 1, path.size()));
    }
    const bool folder = segments.empty() || parts.path.ends_with('/');
    const std::string file = SafeSegment(folder ? kIndexName : segments.back());
    const std::size_t folders = segments.size() - (folder ? 0 : 1);
    for (std::size_t i = 0; i < std::min(folders, kDeepestFolder - 1); ++i) {
        stem += '/' + SafeSegment(segments[i]);
    }
    if (folders >= kDeepestFolder) {
        std::string deeper;
        for (std::size_t i = kDeepestFolder - 1; i < folders; ++i) {
            deeper.append(segments[i]).push_back('/');
        }
        stem += '/' + HashSuffix(deeper).substr(1);
    }
    const std::size_t dot = file.rfind('.');
    const bool fits = dot != std::string::npos && dot > 0 && Fits(file.substr(dot), kind);
    stem += '/' + (fits ? file.substr(0, dot) : file);
    if (parts.query) {
        stem += HashSuffix(*parts.query);
    }
    return Unique(std::move(stem), fits ? std::string_view(file).substr(dot) : kind.extension);
}

std::string SiteNames::Unique(std::string stem, std::string_view extension) {
    std::string name = stem + std::string(extension);
    for (int n = 2; !taken_.insert(FoldCase(name)).second; ++n) {
        name = stem + "-" + std::to_string(n) + std::string(extension);
    }
    return name;
}

std::unique_ptr<LocalNames> MakeLocalNames(Capture capture) {
    if (capture == Capture::Classic) {
        return std::make_unique<ClassicNames>();
    }
    return std::make_unique<SiteNames>();
}

std::string RelativeReference(std::string_view from, std::string_view to) {
    std::size_t common = 0;  // length of the folders both share, with their "/"
    for (std::size_t i = 0; i < from.size() && i < to.size() && from[i] == to[i]; ++i) {
        if (from[i] == '/') {
            common = i + 1;
        }
    }
    std::string reference;
    for (std::size_t i = common; i < from.size(); ++i) {
        if (from[i] == '/') {
            reference += "../";
        }
    }
    return reference.append(to.substr(common));
}

}  // namespace engine
