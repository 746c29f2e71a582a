// Tag text into a tag record and back, rule by rule. Positions are 1-based, as the rules
// are written; a tag is read in one pass however long it is.
#include "engine/tag_parser.h"

#include <algorithm>
#include <array>

#include "engine/text.h"

namespace engine {

namespace {

// Separators in the order their positions are compared, and as a set for the scan.
struct Separators {
    constexpr explicit Separators(std::string_view bytes) : order(bytes), set(bytes) {}

    std::string_view order;
    ByteSet set;
};

constexpr Separators kNameEnd(" \r\n>");            // a tag name, an unquoted value
constexpr Separators kAttributeNameEnd("= \r\n>");  // "=" only ends a name
constexpr ByteSet kBlanks(" \r\n");
constexpr std::size_t kMostSeparators = 5;
static_assert(kNameEnd.order.size() <= kMostSeparators &&
              kAttributeNameEnd.order.size() <= kMostSeparators);

// SmallestNonZero over the first position of each separator at or after `from`. Only the
// nearest one is looked for: a farther one can never be the smallest, and searching each to
// the end of the tag would make a tag with many attributes quadratic. 0 when there is none.
std::size_t FirstSeparator(std::string_view tagData, const Separators& separators, std::size_t from,
                           MessageSink& ui) {
    std::array<std::size_t, kMostSeparators> positions{};
    const std::size_t at = FindFirstOf(tagData, separators.set, from);
    if (at != 0) {
        positions[separators.order.find(tagData[at - 1])] = at;
    }
    return SmallestNonZero(std::span(positions.data(), separators.order.size()), ui);
}

// Where a name or value that no separator ends stops: the end of the text.
std::size_t EndOr(std::size_t separator, std::string_view tagData) {
    return separator != 0 ? separator : tagData.size() + 1;
}

// The position just after the value that starts at `pos`, passing `pos` over an opening
// quote. A quoted value ends at the next quote of its kind only; without one it runs to the
// end of the tag text, before its ">".
std::size_t ValueEnd(std::string_view tagData, std::size_t& pos, MessageSink& ui) {
    const char first = pos <= tagData.size() ? tagData[pos - 1] : '\0';
    if (first != '"' && first != '\'') {
        return EndOr(FirstSeparator(tagData, kNameEnd, pos, ui), tagData);
    }
    ++pos;
    const std::size_t close = InStr(tagData, std::string_view(&first, 1), pos);
    if (close != 0) {
        return close;
    }
    return tagData.ends_with('>') ? tagData.size() : tagData.size() + 1;
}

// The first position at or after `from` that is not a blank or line break.
std::size_t SkipBlanks(std::string_view tagData, std::size_t from) {
    while (from <= tagData.size() && kBlanks.Contains(tagData[from - 1])) {
        ++from;
    }
    return from;
}

// Single quotes unless the value holds one; then double quotes, any '"' in it as "&quot;".
std::string Quoted(std::string_view value) {
    const bool single = value.find('\'') == std::string_view::npos;
    const char quote = single ? '\'' : '"';
    std::string quoted(1, quote);
    for (const char c : value) {
        if (c == '"' && !single) {
            quoted.append("&quot;");
        } else {
            quoted.push_back(c);
        }
    }
    quoted.push_back(quote);
    return quoted;
}

std::string Cut(std::string_view tagData, std::size_t from, std::size_t to) {
    return to > from ? std::string(Mid(tagData, from, to - from)) : std::string();
}

}  // namespace

void GetTagInfo(std::string_view tagData, TagRecord& tag, MessageSink& ui) {
    const std::size_t length = tagData.size();
    std::size_t pos = EndOr(FirstSeparator(tagData, kNameEnd, 1, ui), tagData);
    tag.tname = Cut(tagData, 2, pos);
    tag.tTags.clear();
    std::size_t taken = pos;  // the first position not part of a name or value

    // Stops three short of the end, so "<A B>" keeps no attribute.
    while (pos + 3 <= length) {
        if (StartTag(tagData, pos) == 0) {
            break;  // nothing left that can start a name
        }
        const std::size_t nameEnd =
            EndOr(FirstSeparator(tagData, kAttributeNameEnd, pos, ui), tagData);
        TagAttribute& attribute = tag.tTags.emplace_back();
        attribute.name = Cut(tagData, pos, nameEnd);
        taken = nameEnd;
        const std::size_t equals = SkipBlanks(tagData, nameEnd);
        if (equals > length || tagData[equals - 1] != '=') {
            pos = nameEnd;  // no value: go on from the separator that ended the name
            continue;
        }
        pos = SkipBlanks(tagData, equals + 1);
        const bool quoted = pos <= length && (tagData[pos - 1] == '"' || tagData[pos - 1] == '\'');
        const std::size_t valueEnd = ValueEnd(tagData, pos, ui);
        attribute.value = Cut(tagData, pos, valueEnd);
        taken = quoted ? valueEnd + 1 : valueEnd;
        pos = valueEnd + 1;
    }
    tag.selfClosing = length >= 2 && tagData.ends_with("/>") && length - 1 >= taken;
}

std::string RecompileTag(const TagRecord& tag) {
    std::string text = "<" + tag.tname;
    for (const TagAttribute& attribute : tag.tTags) {
        text += ' ';
        text += attribute.name;
        if (!attribute.value.empty()) {
            text += '=';
            text += Quoted(attribute.value);
        }
    }
    text += tag.selfClosing ? "/>" : ">";
    return text;
}

std::size_t StartTag(std::string_view tagData, std::size_t& start) {
    for (start = std::max<std::size_t>(start, 1); start + 3 <= tagData.size(); ++start) {
        const auto code = static_cast<unsigned char>(tagData[start - 1]);
        if (code >= 65 && code <= 122) {
            return start;
        }
    }
    return 0;
}

std::size_t SmallestNonZero(std::span<const std::size_t> Num, MessageSink& ui) {
    std::size_t smallest = 0;
    for (const std::size_t position : Num) {
        if (position > 0 && (smallest == 0 || position < smallest)) {
            smallest = position;
        }
    }
    if (smallest == 0) {
        ui.ShowMessage("Error on Smallest");
    }
    return smallest;
}

}  // namespace engine
