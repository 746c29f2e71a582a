// Reference resolution after RFC 3986, section 5.2 (non-strict parsers aside: a reference
// with a scheme is taken as it stands). Parts keep the text exactly as written.
#include "engine/url.h"

#include <optional>

#include "engine/text.h"

namespace engine {

namespace {

constexpr ByteSet kAuthorityEnd("/?#");
constexpr ByteSet kPathEnd("?#");
constexpr ByteSet kQueryEnd("#");

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// A letter, then letters, digits, "+", "-" or ".", then ":".
std::optional<std::string_view> SchemeOf(std::string_view text) {
    if (text.empty() || !IsAsciiLetter(text[0])) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':') {
            return text.substr(0, i);
        }
        if (!IsAsciiLetter(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') {
            break;
        }
    }
    return std::nullopt;
}

// Cuts `rest` at the first of `ends`: returns what stands before it and leaves the rest.
std::string_view TakeUntil(std::string_view& rest, const ByteSet& ends) {
    const std::size_t found = FindFirstOf(rest, ends, 1);
    const std::size_t at = found == 0 ? rest.size() : found - 1;
    const std::string_view taken = rest.substr(0, at);
    rest.remove_prefix(at);
    return taken;
}

void DropLastSegment(std::string& out) {
    const std::size_t slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
}

// RFC 3986, section 5.2.4.
std::string RemoveDotSegments(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    while (!in.empty()) {
        if (in.starts_with("../")) {
            in.remove_prefix(3);
        } else if (in.starts_with("./") || in.starts_with("/./")) {  // "/./" becomes "/"
            in.remove_prefix(2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.starts_with("/../")) {
            in.remove_prefix(3);
            DropLastSegment(out);
        } else if (in == "/..") {
            in = "/";
            DropLastSegment(out);
        } else if (in == "." || in == "..") {
            in = {};
        } else {
            const std::size_t end = std::min(in.find('/', 1), in.size());
            out.append(in.substr(0, end));
            in.remove_prefix(end);
        }
    }
    return out;
}

std::string Merge(const UrlParts& base, std::string_view refPath) {
    std::string merged;
    if (base.authority && base.path.empty()) {
        merged = "/";
    } else if (const std::size_t slash = base.path.rfind('/'); slash != std::string_view::npos) {
        merged = base.path.substr(0, slash + 1);
    }
    return merged.append(refPath);
}

std::string Recompose(const UrlParts& parts, std::string_view path) {
    std::string url;
    if (parts.scheme) {
        url.append(*parts.scheme).append(":");
    }
    if (parts.authority) {
        url.append("//").append(*parts.authority);
    }
    url.append(path);
    if (parts.query) {
        url.append("?").append(*parts.query);
    }
    if (parts.fragment) {
        url.append("#").append(*parts.fragment);
    }
    return url;
}

}  // namespace

UrlParts SplitUrl(std::string_view url) {
    UrlParts parts;
    parts.scheme = SchemeOf(url);
    std::string_view rest = parts.scheme ? url.substr(parts.scheme->size() + 1) : url;
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        parts.authority = TakeUntil(rest, kAuthorityEnd);
    }
    parts.path = TakeUntil(rest, kPathEnd);
    if (rest.starts_with('?')) {
        rest.remove_prefix(1);
        parts.query = TakeUntil(rest, kQueryEnd);
    }
    if (rest.starts_with('#')) {
        parts.fragment = rest.substr(1);
    }
    return parts;
}

std::string PercentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() && text[i] == '%' ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::pair<std::string_view, std::string_view> SplitFragment(std::string_view url) {
    const std::size_t hash = url.find('#');
    return hash == std::string_view::npos ? std::pair(url, std::string_view())
                                          : std::pair(url.substr(0, hash), url.substr(hash));
}

std::string CompileUrl(std::string_view base, std::string_view ref) {
    if (SchemeOf(ref)) {
        return std::string(ref);
    }
    const UrlParts baseParts = SplitUrl(base);
    const UrlParts refParts = SplitUrl(ref);
    UrlParts target = refParts;
    target.scheme = baseParts.scheme;
    std::string path;
    if (refParts.authority) {
        path = RemoveDotSegments(refParts.path);
    } else {
        target.authority = baseParts.authority;
        if (refParts.path.empty()) {
            path = baseParts.path;
            if (!refParts.query) {
                target.query = baseParts.query;
            }
        } else if (refParts.path.starts_with('/')) {
            path = RemoveDotSegments(refParts.path);
        } else {
            path = RemoveDotSegments(Merge(baseParts, refParts.path));
        }
    }
    return Recompose(target, path);
}

}  // namespace engine
