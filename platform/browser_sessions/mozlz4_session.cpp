#include "platform/browser_sessions/mozlz4_session.h"

#include <cstdint>
#include <limits>
#include <string>

#include <lz4.h>
#include <nlohmann/json.hpp>

namespace platform::browser_sessions {

namespace {

using nlohmann::json;

constexpr std::string_view kMagic{"mozLz40\0", 8};
constexpr std::size_t kHeaderSize = kMagic.size() + 4;
// A session's JSON runs to a few megabytes; a header that claims far more is not one.
constexpr std::uint32_t kMaxJsonSize = 256u << 20;

std::optional<std::string> Decompress(std::string_view file) {
    if (file.size() < kHeaderSize || file.substr(0, kMagic.size()) != kMagic ||
        file.size() - kHeaderSize > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    std::uint32_t size = 0;
    for (std::size_t i = kHeaderSize; i-- > kMagic.size();) {
        size = size << 8 | static_cast<unsigned char>(file[i]);
    }
    if (size > kMaxJsonSize) {
        return std::nullopt;
    }
    std::string text(size, '\0');
    const int written =
        LZ4_decompress_safe(file.data() + kHeaderSize, text.data(),
                            static_cast<int>(file.size() - kHeaderSize), static_cast<int>(size));
    if (written < 0 || static_cast<std::uint32_t>(written) != size) {
        return std::nullopt;
    }
    return text;
}

// Keys kept at each depth of the tree: windows[].tabs[].entries[].url and the three indexes.
// Everything else (form data, closed windows, favicons, subframes) is skipped while parsing,
// so a large session costs no memory for parts that are never looked at.
bool KeepKey(int depth, std::string_view name) {
    switch (depth) {
        case 1:
            return name == "windows" || name == "selectedWindow";
        case 3:
            return name == "tabs" || name == "selected";
        case 5:
            return name == "entries" || name == "index";
        case 7:
            return name == "url";
        default:
            return false;
    }
}

const json* Member(const json& object, const char* name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::int64_t> Integer(const json& object, const char* name) {
    const json* value = Member(object, name);
    if (value == nullptr || !value->is_number_integer()) {
        return std::nullopt;
    }
    return value->get<std::int64_t>();
}

// A 1-based position into a list of `count`, as a 0-based one; nothing when out of range.
std::optional<std::size_t> FromOneBased(std::optional<std::int64_t> position, std::size_t count) {
    if (!position || *position < 1 || static_cast<std::uint64_t>(*position) > count) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(*position - 1);
}

const json& ArrayMember(const json& object, const char* name) {
    static const json kEmpty = json::array();
    const json* value = Member(object, name);
    return value != nullptr && value->is_array() ? *value : kEmpty;
}

std::string CurrentAddress(const json& tab) {
    const json& entries = ArrayMember(tab, "entries");
    if (entries.empty()) {
        return "";
    }
    const auto count = static_cast<std::int64_t>(entries.size());
    std::int64_t index = Integer(tab, "index").value_or(0);
    index = index < 1 ? count : std::min(index, count);
    const json* url = Member(entries[static_cast<std::size_t>(index - 1)], "url");
    return url != nullptr && url->is_string() ? url->get<std::string>() : "";
}

Session FromJson(const json& root) {
    Session session;
    for (const json& window : ArrayMember(root, "windows")) {
        SessionWindow& open = session.windows.emplace_back();
        for (const json& tab : ArrayMember(window, "tabs")) {
            open.tabs.push_back(CurrentAddress(tab));
        }
        open.selected = FromOneBased(Integer(window, "selected"), open.tabs.size());
    }
    session.active = FromOneBased(Integer(root, "selectedWindow"), session.windows.size());
    return session;
}

}  // namespace

std::optional<Session> ReadMozLz4Session(std::string_view file) {
    const std::optional<std::string> text = Decompress(file);
    if (!text) {
        return std::nullopt;
    }
    const json::parser_callback_t filter = [](int depth, json::parse_event_t event, json& value) {
        return event != json::parse_event_t::key ||
               KeepKey(depth, value.get_ref<const std::string&>());
    };
    const json root = json::parse(*text, filter, /*allow_exceptions=*/false);
    if (root.is_discarded()) {
        return std::nullopt;
    }
    return FromJson(root);
}

std::string Lz4Version() {
    return std::string("liblz4 ") + LZ4_versionString();
}

}  // namespace platform::browser_sessions
