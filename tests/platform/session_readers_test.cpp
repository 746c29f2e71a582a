#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/browser_sessions/mozlz4_session.h"
#include "platform/browser_sessions/snss_session.h"
#include "tests/support/session_fixtures.h"

namespace {

using platform::browser_sessions::Session;
using support::SnssWriter;
using namespace support::snss;

// "a *b | >c": windows split by "|", the active one marked ">", the selected tab "*", a tab
// without an address "-"; "none" when the file was not read.
std::string Render(const std::optional<Session>& session) {
    if (!session) {
        return "none";
    }
    std::string text;
    for (std::size_t w = 0; w < session->windows.size(); ++w) {
        text += w == 0 ? "" : " | ";
        text += session->active == w ? ">" : "";
        const auto& window = session->windows[w];
        for (std::size_t t = 0; t < window.tabs.size(); ++t) {
            text += t == 0 ? "" : " ";
            text += window.selected == t ? "*" : "";
            text += window.tabs[t].empty() ? "-" : window.tabs[t];
        }
    }
    return text;
}

struct ReaderCase {
    const char* id;
    std::string file;
    std::string expected;
};

std::string CaseName(const testing::TestParamInfo<ReaderCase>& info) {
    return info.param.id;
}

// Firefox: addresses are single letters, so the tables stay readable.
const std::string kTwoWindows = R"({"version": ["sessionrestore", 1], "selectedWindow": 2,
  "windows": [
    {"selected": 2, "tabs": [
      {"entries": [{"url": "a"}, {"url": "b", "children": [{"url": "frame"}]}], "index": 2},
      {"entries": [{"url": "c"}, {"url": "d"}, {"url": "e"}], "index": 2, "image": "f"}]},
    {"tabs": [{"entries": [{"url": "g"}]}], "_closedTabs": [{"state": {"entries": [{"url": "h"}]}}]}],
  "_closedWindows": [{"tabs": [{"entries": [{"url": "i"}], "index": 1}]}]})";

std::string Truncated(const std::string& file) {
    return file.substr(0, file.size() - 3);
}

const ReaderCase kMozLz4Cases[] = {
    {"SeveralWindowsCurrentEntryInTheMiddle", support::MozLz4File(kTwoWindows), "b *d | >g"},
    {"IndexMissingZeroOrBeyondTakesTheLastOneTheFirst",
     support::MozLz4File(R"({"windows": [{"tabs": [{"entries": [{"url": "a"}, {"url": "b"}]},
        {"entries": [{"url": "c"}, {"url": "d"}], "index": 0},
        {"entries": [{"url": "e"}, {"url": "f"}], "index": 9}, {"entries": []},
        {"entries": [{"url": "g"}, {"url": "h"}], "index": 1},
        {"entries": [{"title": "no url"}], "index": 1}], "selected": 7}]})"),
     "b d f - g -"},
    {"TruncatedBlock", Truncated(support::MozLz4File(kTwoWindows)), "none"},
    {"WrongMagic", "mozLz41" + support::MozLz4File(kTwoWindows).substr(7), "none"},
    {"SizeClaimsMoreThanTheBlockHolds", support::MozLz4File(kTwoWindows).replace(9, 1, 1, '\x7f'),
     "none"},
    {"NotJson", support::MozLz4File(R"({"windows": [)"), "none"},
    {"NotASession", support::MozLz4File("[1, 2]"), ""},
    {"Empty", "", "none"},
};

class MozLz4ReaderTest : public testing::TestWithParam<ReaderCase> {};

TEST_P(MozLz4ReaderTest, ReadsTheOpenWindows) {
    EXPECT_EQ(Render(platform::browser_sessions::ReadMozLz4Session(GetParam().file)),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, MozLz4ReaderTest, testing::ValuesIn(kMozLz4Cases), CaseName);

// Window 5 opened before window 9; tab 3 stands left of tab 1; tab 2 has gone back from c to b.
SnssWriter TwoWindows() {
    SnssWriter log;
    log.Command(kTabWindow, {9, 4}).Navigation(4, 0, "e").Command(kSelectedNavigation, {4, 0});
    log.Command(kTabWindow, {5, 1}).Command(kTabPosition, {1, 1}).Navigation(1, 0, "a");
    log.Command(kTabWindow, {5, 2}).Command(kTabPosition, {2, 2});
    log.Navigation(2, 0, "b").Navigation(2, 1, "c").Command(kSelectedNavigation, {2, 0});
    log.Command(kTabWindow, {5, 3}).Command(kTabPosition, {3, 0}).Navigation(3, 0, "x");
    log.Command(34, {1, 2, 3});  // an id this reader does not know is skipped
    log.Navigation(3, 0, "d").Command(kSelectedTab, {5, 2}).Command(kActiveWindow, {5});
    return log.Marker();
}

// One tab whose navigations 0 to 3 are a to d, `current` the one shown.
SnssWriter FourNavigations(std::int32_t current) {
    SnssWriter log;
    log.Command(kTabWindow, {1, 1}).Navigation(1, 0, "a").Navigation(1, 1, "b");
    log.Navigation(1, 2, "c").Navigation(1, 3, "d").Command(kSelectedNavigation, {1, current});
    return log;
}

const ReaderCase kSnssCases[] = {
    {"SeveralWindowsCurrentNavigationInTheMiddle", TwoWindows().bytes(), ">d a *b | e"},
    {"ClosedTabsAndWindowsAreGone",
     TwoWindows().Command(kTabClosed, {3, 0, 0, 0}).Command(kWindowClosed, {9, 0, 0, 0}).bytes(),
     ">a *b"},
    {"PruneFromTheFrontMovesTheRestDown",
     FourNavigations(3).Command(kPruned, {1, 0, 2}).Navigation(1, 1, "x").Marker().bytes(), "x"},
    {"PruneEndingAtTheCurrentMovesItDown",
     FourNavigations(3).Command(kPruned, {1, 1, 2}).Navigation(1, 2, "x").Marker().bytes(), "d"},
    {"PruneOverTheCurrentFallsBackToTheOneBefore",
     FourNavigations(2).Command(kPruned, {1, 1, 2}).Marker().bytes(), "a"},
    {"MalformedNavigationIsSkipped",
     FourNavigations(0).Command(6, {12, 1, 0, 100}).Marker().bytes(), "a"},
    {"LastCommandCutShortKeepsTheRest",
     Truncated(TwoWindows()
                   .Command(kSelectedNavigation, {4, 1})
                   .Navigation(4, 1, "f")
                   .Command(kActiveWindow, {9})
                   .bytes()),
     ">d a *b | f"},
    {"CutBeforeTheMarker", Truncated(TwoWindows().bytes()), "none"},
    {"EmptyCommandEndsTheLog", TwoWindows().bytes() + std::string("\0\0\x10", 3), ">d a *b | e"},
    {"VersionOneNeedsNoMarker",
     SnssWriter(1).Command(kTabWindow, {1, 1}).Navigation(1, 0, "a").bytes(), "a"},
    {"EncryptedVersion", SnssWriter(5).Command(kTabWindow, {1, 1}).Marker().bytes(), "none"},
    {"WrongMagic", SnssWriter(3, "SNSX").Marker().bytes(), "none"},
    {"HeaderOnly", SnssWriter().bytes(), "none"},
};

class SnssReaderTest : public testing::TestWithParam<ReaderCase> {};

TEST_P(SnssReaderTest, ReplaysTheLog) {
    EXPECT_EQ(Render(platform::browser_sessions::ReadSnssSession(GetParam().file)),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, SnssReaderTest, testing::ValuesIn(kSnssCases), CaseName);

}  // namespace
