#include "platform/browser_sessions/snss_session.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <set>
#include <string>

namespace platform::browser_sessions {

namespace {

constexpr std::string_view kMagic = "SNSS";
constexpr std::int32_t kPlainVersion = 1;
constexpr std::int32_t kPlainVersionWithMarker = 3;

// The command ids this reader acts on; every other id is skipped by its size.
enum CommandId : std::uint8_t {
    kSetTabWindow = 0,                // window id, tab id
    kSetTabIndexInWindow = 2,         // tab id, position in the tab strip
    kUpdateTabNavigation = 6,         // pickle: tab id, navigation index, URL, ...
    kSetSelectedNavigationIndex = 7,  // tab id, navigation index
    kSetSelectedTabInIndex = 8,       // window id, tab-strip position
    kTabClosed = 16,                  // tab id, close time
    kWindowClosed = 17,               // window id, close time
    kSetActiveWindow = 20,            // window id
    kTabNavigationPathPruned = 24,    // tab id, first navigation index, count removed
    kInitialStateMarker = 255,        // ends the initial state of a version-3 log
};

std::uint32_t LittleEndian(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

// Reads a payload front to back; any read past its end fails and leaves the reader failed.
class PayloadReader {
public:
    explicit PayloadReader(std::string_view payload) : rest_(payload) {}

    bool Int32(std::int32_t& value) {
        if (rest_.size() < 4) {
            return false;
        }
        value = static_cast<std::int32_t>(LittleEndian(rest_.substr(0, 4)));
        rest_.remove_prefix(4);
        return true;
    }

    // A pickled string: its length, its bytes, then zeros up to a multiple of four. Nothing is
    // read after the one string a command holds, so the padding is left unread.
    bool String(std::string_view& value) {
        std::int32_t length = 0;
        if (!Int32(length) || length < 0 || static_cast<std::size_t>(length) > rest_.size()) {
            return false;
        }
        value = rest_.substr(0, static_cast<std::size_t>(length));
        return true;
    }

    void Skip(std::size_t count) { rest_.remove_prefix(std::min(count, rest_.size())); }

private:
    std::string_view rest_;
};

struct Tab {
    std::int32_t window = 0;
    std::int32_t position = 0;
    std::int32_t current = 0;
    std::map<std::int32_t, std::string_view> navigations;  // by navigation index

    // The entry the tab shows: the one at `current`, else the next one after it, else the last.
    std::string_view Current() const {
        const auto it = navigations.lower_bound(current);
        return it != navigations.end() ? it->second : std::prev(it)->second;
    }
};

// Replays the commands that decide which pages are open. URLs point into the file's bytes.
class Replay {
public:
    void Apply(std::uint8_t id, std::string_view payload);
    Session Finish() const;

private:
    void Navigate(std::string_view pickle);
    void Prune(std::int32_t tab, std::int32_t index, std::int32_t count);

    std::map<std::int32_t, Tab> tabs_;
    std::map<std::int32_t, std::int32_t> selectedPositions_;  // window id -> tab-strip position
    std::set<std::int32_t> closedWindows_;
    std::int32_t activeWindow_ = 0;
};

void Replay::Apply(std::uint8_t id, std::string_view payload) {
    PayloadReader reader(payload);
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int32_t third = 0;
    const bool one = reader.Int32(first);
    const bool two = one && reader.Int32(second);
    switch (id) {
        case kSetTabWindow:
            if (two) {
                tabs_[second].window = first;
            }
            break;
        case kSetTabIndexInWindow:
            if (two) {
                tabs_[first].position = second;
            }
            break;
        case kUpdateTabNavigation:
            Navigate(payload);
            break;
        case kSetSelectedNavigationIndex:
            if (two) {
                tabs_[first].current = second;
            }
            break;
        case kSetSelectedTabInIndex:
            if (two) {
                selectedPositions_[first] = second;
            }
            break;
        case kTabClosed:
            if (one) {
                tabs_.erase(first);
            }
            break;
        case kWindowClosed:
            if (one) {
                closedWindows_.insert(first);
            }
            break;
        case kSetActiveWindow:
            if (one) {
                activeWindow_ = first;
            }
            break;
        case kTabNavigationPathPruned:
            if (two && reader.Int32(third)) {
                Prune(first, second, third);
            }
            break;
        default:
            break;
    }
}

void Replay::Navigate(std::string_view pickle) {
    PayloadReader reader(pickle);
    reader.Skip(4);  // the pickle's own payload size
    std::int32_t tab = 0;
    std::int32_t index = 0;
    std::string_view url;
    if (reader.Int32(tab) && reader.Int32(index) && reader.String(url)) {
        tabs_[tab].navigations[index] = url;
    }
}

// Navigations [index, index + count) are gone and the later ones move down by `count`.
void Replay::Prune(std::int32_t tabId, std::int32_t index, std::int32_t count) {
    const auto found = tabs_.find(tabId);
    if (found == tabs_.end() || index < 0 || count <= 0) {
        return;
    }
    Tab& tab = found->second;
    const std::int64_t end = static_cast<std::int64_t>(index) + count;
    if (tab.current >= index && tab.current < end) {
        tab.current = index - 1;
    } else if (tab.current >= end) {
        tab.current -= count;
    }
    std::map<std::int32_t, std::string_view> kept;
    for (const auto& [at, url] : tab.navigations) {
        if (at < index) {
            kept.emplace(at, url);
        } else if (at >= end) {
            kept.emplace(at - count, url);
        }
    }
    tab.navigations = std::move(kept);
}

Session Replay::Finish() const {
    struct Placed {
        std::int32_t position;
        std::int32_t id;
        const Tab* tab;
    };

    std::map<std::int32_t, std::vector<Placed>> byWindow;  // window ids grow as windows open
    for (const auto& [id, tab] : tabs_) {
        if (tab.window != 0 && !tab.navigations.empty() && !closedWindows_.contains(tab.window)) {
            byWindow[tab.window].push_back({tab.position, id, &tab});
        }
    }
    Session session;
    for (auto& [windowId, placed] : byWindow) {
        std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
            return a.position != b.position ? a.position < b.position : a.id < b.id;
        });
        SessionWindow& window = session.windows.emplace_back();
        const auto selected = selectedPositions_.find(windowId);
        for (const Placed& tab : placed) {
            if (selected != selectedPositions_.end() && tab.position == selected->second &&
                !window.selected) {
                window.selected = window.tabs.size();
            }
            window.tabs.emplace_back(tab.tab->Current());
        }
        if (windowId == activeWindow_) {
            session.active = session.windows.size() - 1;
        }
    }
    return session;
}

}  // namespace

std::optional<Session> ReadSnssSession(std::string_view file) {
    if (file.size() < 8 || file.substr(0, 4) != kMagic) {
        return std::nullopt;
    }
    const auto version = static_cast<std::int32_t>(LittleEndian(file.substr(4, 4)));
    if (version != kPlainVersion && version != kPlainVersionWithMarker) {
        return std::nullopt;
    }
    bool initialStateComplete = version == kPlainVersion;
    Replay replay;
    std::string_view rest = file.substr(8);
    while (rest.size() >= 2) {
        const std::size_t size = LittleEndian(rest.substr(0, 2));
        if (size == 0 || size > rest.size() - 2) {
            break;  // an empty command or one the writer has not finished ends the log
        }
        const auto id = static_cast<std::uint8_t>(rest[2]);
        if (id == kInitialStateMarker) {
            initialStateComplete = true;
        } else {
            replay.Apply(id, rest.substr(3, size - 1));
        }
        rest.remove_prefix(2 + size);
    }
    if (!initialStateComplete) {
        return std::nullopt;
    }
    return replay.Finish();
}

}  // namespace platform::browser_sessions
