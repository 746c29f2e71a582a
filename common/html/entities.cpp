// Character references as browsers read them, with one difference: the closing ';' is required
// (browsers also accept some legacy names without it). Numeric references to 128..159 mean the
// Windows-1252 characters of those bytes, as every browser takes them.
#include "common/html/entities.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace common::html {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

// HTML 4's Latin-1 entities name U+00A0..U+00FF in order.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// HTML 4's special and symbol entities, and &apos;.
constexpr std::pair<std::string_view, char32_t> kOtherEntities[] = {
    {"quot", 34},     {"amp", 38},       {"apos", 39},      {"lt", 60},       {"gt", 62},
    {"OElig", 338},   {"oelig", 339},    {"Scaron", 352},   {"scaron", 353},  {"Yuml", 376},
    {"fnof", 402},    {"circ", 710},     {"tilde", 732},    {"Alpha", 913},   {"Beta", 914},
    {"Gamma", 915},   {"Delta", 916},    {"Epsilon", 917},  {"Zeta", 918},    {"Eta", 919},
    {"Theta", 920},   {"Iota", 921},     {"Kappa", 922},    {"Lambda", 923},  {"Mu", 924},
    {"Nu", 925},      {"Xi", 926},       {"Omicron", 927},  {"Pi", 928},      {"Rho", 929},
    {"Sigma", 931},   {"Tau", 932},      {"Upsilon", 933},  {"Phi", 934},     {"Chi", 935},
    {"Psi", 936},     {"Omega", 937},    {"alpha", 945},    {"beta", 946},    {"gamma", 947},
    {"delta", 948},   {"epsilon", 949},  {"zeta", 950},     {"eta", 951},     {"theta", 952},
    {"iota", 953},    {"kappa", 954},    {"lambda", 955},   {"mu", 956},      {"nu", 957},
    {"xi", 958},      {"omicron", 959},  {"pi", 960},       {"rho", 961},     {"sigmaf", 962},
    {"sigma", 963},   {"tau", 964},      {"upsilon", 965},  {"phi", 966},     {"chi", 967},
    {"psi", 968},     {"omega", 969},    {"thetasym", 977}, {"upsih", 978},   {"piv", 982},
    {"ensp", 8194},   {"emsp", 8195},    {"thinsp", 8201},  {"zwnj", 8204},   {"zwj", 8205},
    {"lrm", 8206},    {"rlm", 8207},     {"ndash", 8211},   {"mdash", 8212},  {"lsquo", 8216},
    {"rsquo", 8217},  {"sbquo", 8218},   {"ldquo", 8220},   {"rdquo", 8221},  {"bdquo", 8222},
    {"dagger", 8224}, {"Dagger", 8225},  {"bull", 8226},    {"hellip", 8230}, {"permil", 8240},
    {"prime", 8242},  {"Prime", 8243},   {"lsaquo", 8249},  {"rsaquo", 8250}, {"oline", 8254},
    {"frasl", 8260},  {"euro", 8364},    {"image", 8465},   {"weierp", 8472}, {"real", 8476},
    {"trade", 8482},  {"alefsym", 8501}, {"larr", 8592},    {"uarr", 8593},   {"rarr", 8594},
    {"darr", 8595},   {"harr", 8596},    {"crarr", 8629},   {"lArr", 8656},   {"uArr", 8657},
    {"rArr", 8658},   {"dArr", 8659},    {"hArr", 8660},    {"forall", 8704}, {"part", 8706},
    {"exist", 8707},  {"empty", 8709},   {"nabla", 8711},   {"isin", 8712},   {"notin", 8713},
    {"ni", 8715},     {"prod", 8719},    {"sum", 8721},     {"minus", 8722},  {"lowast", 8727},
    {"radic", 8730},  {"prop", 8733},    {"infin", 8734},   {"ang", 8736},    {"and", 8743},
    {"or", 8744},     {"cap", 8745},     {"cup", 8746},     {"int", 8747},    {"there4", 8756},
    {"sim", 8764},    {"cong", 8773},    {"asymp", 8776},   {"ne", 8800},     {"equiv", 8801},
    {"le", 8804},     {"ge", 8805},      {"sub", 8834},     {"sup", 8835},    {"nsub", 8836},
    {"sube", 8838},   {"supe", 8839},    {"oplus", 8853},   {"otimes", 8855}, {"perp", 8869},
    {"sdot", 8901},   {"lceil", 8968},   {"rceil", 8969},   {"lfloor", 8970}, {"rfloor", 8971},
    {"lang", 9001},   {"rang", 9002},    {"loz", 9674},     {"spades", 9824}, {"clubs", 9827},
    {"hearts", 9829}, {"diams", 9830},
};

const std::unordered_map<std::string_view, char32_t>& EntityTable() {
    static const auto table = [] {
        std::unordered_map<std::string_view, char32_t> t;
        for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
            t.emplace(kLatin1Names[i], static_cast<char32_t>(0xA0 + i));
        }
        for (const auto& [name, codePoint] : kOtherEntities) {
            t.emplace(name, codePoint);
        }
        return t;
    }();
    return table;
}

int DigitValue(char c, int base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(c | 0x20);
    if (base == 16 && lower >= 'a' && lower <= 'f') {
        return lower - 'a' + 10;
    }
    return -1;
}

// `body` is what stands between "&#" and ';'.
std::optional<char32_t> NumericReference(std::string_view body) {
    int base = 10;
    if (!body.empty() && (body.front() == 'x' || body.front() == 'X')) {
        base = 16;
        body.remove_prefix(1);
    }
    if (body.empty()) {
        return std::nullopt;
    }
    char32_t value = 0;
    for (const char c : body) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * static_cast<char32_t>(base) + static_cast<char32_t>(digit);
        if (value > kMaxCodePoint) {
            return std::nullopt;
        }
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    if (value >= 0x80 && value <= 0x9F) {
        if (const char32_t c = Windows1252Character(static_cast<std::uint8_t>(value)); c != 0) {
            return c;
        }
    }
    return value;
}

// The longest name HTML 4 gives a character ("thetasym", "alefsym") bounds a named reference.
constexpr std::size_t kLongestName = 8;

bool IsAsciiAlnum(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return (c >= '0' && c <= '9') || (lower >= 'a' && lower <= 'z');
}

struct ParsedReference {
    char32_t codePoint;
    std::size_t length;  // from the '&' to the ';', both included
};

// The well-formed reference at the start of `text`, which begins with '&'. Each byte is looked
// at once, so text full of '&' is decoded in linear time.
std::optional<ParsedReference> ParseReference(std::string_view text) {
    const bool numeric = text.size() > 1 && text[1] == '#';
    std::size_t end = numeric ? 2 : 1;
    while (end < text.size() && IsAsciiAlnum(text[end]) && (numeric || end <= kLongestName)) {
        ++end;
    }
    if (end >= text.size() || text[end] != ';') {
        return std::nullopt;
    }
    const std::optional<char32_t> c =
        numeric ? NumericReference(text.substr(2, end - 2)) : NamedEntity(text.substr(1, end - 1));
    if (!c) {
        return std::nullopt;
    }
    return ParsedReference{*c, end + 1};
}

}  // namespace

std::optional<char32_t> NamedEntity(std::string_view name) {
    const auto& table = EntityTable();
    if (const auto it = table.find(name); it != table.end()) {
        return it->second;
    }
    return std::nullopt;
}

std::string DecodeEntities(std::string_view text, Encoding encoding) {
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t amp = text.find('&', at);
        out.append(text.substr(at, amp == std::string_view::npos ? amp : amp - at));
        if (amp == std::string_view::npos) {
            break;
        }
        const std::optional<ParsedReference> ref = ParseReference(text.substr(amp));
        if (ref && AppendCharacter(ref->codePoint, encoding, out)) {
            at = amp + ref->length;
        } else {
            out.push_back('&');
            at = amp + 1;
        }
    }
    return out;
}

}  // namespace common::html
