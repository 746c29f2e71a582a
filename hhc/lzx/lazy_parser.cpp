// Lazy parser.
#include "hhc/lzx/lazy_parser.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hhc/lzx/lzx_constants.h"
#include "hhc/lzx/symbols.h"

namespace hhc::lzx {

namespace {

// Matches at least this long are taken without looking one byte further.
constexpr std::uint32_t kLazyLimit = 48;
// New offsets needing more extra bits than this are not worth it for a three-byte match.
constexpr int kMaxExtraBitsForShortMatch = 8;

struct Choice {
    std::uint32_t length = 0;  // 0: emit a literal
    std::uint32_t formattedOffset = 0;
    int score = 0;  // rough bits saved over literals
};

int MatchScore(std::uint32_t length, std::uint32_t formattedOffset) {
    const int cost = formattedOffset < kNumRepeats ? 2 + 2 * static_cast<int>(formattedOffset)
                                                   : 6 + ExtraBits(PositionSlot(formattedOffset));
    return 8 * static_cast<int>(length) - cost;
}

class Parser {
public:
    Parser(std::span<const std::uint8_t> data, const MatchTable& matches)
        : data_(data), matches_(matches) {}

    std::vector<Item> Run();

private:
    Choice Best(std::size_t pos);
    std::uint32_t RepeatLength(std::size_t pos, std::uint32_t offset, std::size_t maxLength) const;
    void Take(const Choice& c, std::vector<Item>& items);

    std::span<const std::uint8_t> data_;
    const MatchTable& matches_;
    RepeatQueue repeats_ = kFreshRepeats;
};

std::uint32_t Parser::RepeatLength(std::size_t pos, std::uint32_t offset,
                                   std::size_t maxLength) const {
    if (offset > pos) {
        return 0;
    }
    const std::uint8_t* here = data_.data() + pos;
    return static_cast<std::uint32_t>(CommonLength(here, here - offset, maxLength));
}

Choice Parser::Best(std::size_t pos) {
    const std::size_t frameEnd = (pos / kFrameSize + 1) * kFrameSize;
    const std::size_t maxLength =
        std::min({static_cast<std::size_t>(kMaxMatch), frameEnd - pos, data_.size() - pos});
    Choice best;
    const std::span<const MatchCandidate> all = matches_.At(pos);
    const MatchCandidate found = all.empty() ? MatchCandidate{} : all.back();
    if (maxLength < static_cast<std::size_t>(kMinMatch)) {
        return best;
    }
    for (std::uint32_t r = 0; r < kNumRepeats; ++r) {
        const std::uint32_t len = RepeatLength(pos, repeats_[r], maxLength);
        if (len < (r == 0 ? 2u : 3u)) {
            continue;
        }
        const int score = MatchScore(len, r);
        if (score > best.score) {
            best = Choice{len, r, score};
        }
    }
    if (found.length >= 3) {
        const std::uint32_t formatted = found.offset + 2;
        const bool shortAndFar =
            found.length == 3 && ExtraBits(PositionSlot(formatted)) > kMaxExtraBitsForShortMatch;
        const int score = MatchScore(found.length, formatted);
        if (!shortAndFar && score > best.score) {
            best = Choice{found.length, formatted, score};
        }
    }
    return best;
}

void Parser::Take(const Choice& c, std::vector<Item>& items) {
    items.push_back(Match(c.length, c.formattedOffset));
    repeats_ = AfterMatch(repeats_, c.formattedOffset);
}

std::vector<Item> Parser::Run() {
    std::vector<Item> items;
    items.reserve(data_.size() / 2);
    const std::size_t size = data_.size();
    std::size_t pos = 0;
    Choice cur;
    bool haveCur = false;
    while (pos < size) {
        if (!haveCur) {
            cur = Best(pos);
        }
        haveCur = false;
        if (cur.length == 0) {
            items.push_back(Literal(data_[pos]));
            ++pos;
            continue;
        }
        const bool sameFrame = (pos + 1) % kFrameSize != 0;
        if (cur.length < kLazyLimit && pos + 1 < size && sameFrame) {
            const Choice next = Best(pos + 1);
            if (next.score >= cur.score + 8) {
                items.push_back(Literal(data_[pos]));
                ++pos;
                cur = next;
                haveCur = true;
                continue;
            }
        }
        Take(cur, items);
        pos += cur.length;
    }
    return items;
}

}  // namespace

std::vector<Item> LazyParse(std::span<const std::uint8_t> interval, const MatchTable& matches) {
    return Parser(interval, matches).Run();
}

}  // namespace hhc::lzx
