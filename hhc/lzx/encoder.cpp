// Frames, reset intervals and the parse. Each interval is parsed lazily: at every position the
// repeat offsets R0..R2 and the hash chains offer a match, the better one by a rough bit
// estimate is taken unless the next position offers a clearly better one. One verbatim or
// aligned block covers the whole interval.
#include "hhc/lzx/encoder.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hhc/lzx/bit_writer.h"
#include "hhc/lzx/block_writer.h"
#include "hhc/lzx/lzx_constants.h"
#include "hhc/lzx/match_finder.h"

namespace hhc::lzx {

namespace {

// chmlib reads one frame into a 38912-byte buffer; stored frames take 32784 bytes.
constexpr std::size_t kMaxCompressedFrame = kFrameSize + 32;
// Matches at least this long are taken without looking one byte further.
constexpr std::uint32_t kLazyLimit = 48;
// New offsets needing more extra bits than this are not worth it for a three-byte match.
constexpr int kMaxExtraBitsForShortMatch = 8;

using Repeats = std::array<std::uint32_t, kNumRepeats>;

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
    Parser(std::span<const std::uint8_t> data, MatchFinder& finder) : data_(data), finder_(finder) {
        finder_.Reset(data.data(), data.size());
    }

    std::vector<Item> Run();

private:
    Choice Best(std::size_t pos);
    std::uint32_t RepeatLength(std::size_t pos, std::uint32_t offset, std::size_t maxLength) const;
    void Take(const Choice& c, std::vector<Item>& items);

    std::span<const std::uint8_t> data_;
    MatchFinder& finder_;
    Repeats repeats_{1, 1, 1};
};

std::uint32_t Parser::RepeatLength(std::size_t pos, std::uint32_t offset,
                                   std::size_t maxLength) const {
    if (offset > pos) {
        return 0;
    }
    const std::uint8_t* here = data_.data() + pos;
    const std::uint8_t* there = here - offset;
    std::uint32_t len = 0;
    while (len < maxLength && here[len] == there[len]) {
        ++len;
    }
    return len;
}

Choice Parser::Best(std::size_t pos) {
    const std::size_t frameEnd = (pos / kFrameSize + 1) * kFrameSize;
    const std::size_t maxLength =
        std::min({static_cast<std::size_t>(kMaxMatch), frameEnd - pos, data_.size() - pos});
    Choice best;
    const MatchCandidate found = finder_.FindAndInsert(pos, maxLength);
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
    if (c.formattedOffset >= kNumRepeats) {
        repeats_ = {c.formattedOffset - 2, repeats_[0], repeats_[1]};
    } else if (c.formattedOffset != 0) {
        std::swap(repeats_[0], repeats_[c.formattedOffset]);
    }
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
        std::size_t inserted = pos + 1;
        const bool sameFrame = (pos + 1) % kFrameSize != 0;
        if (cur.length < kLazyLimit && pos + 1 < size && sameFrame) {
            const Choice next = Best(pos + 1);
            inserted = pos + 2;
            if (next.score >= cur.score + 8) {
                items.push_back(Literal(data_[pos]));
                ++pos;
                cur = next;
                haveCur = true;
                continue;
            }
        }
        Take(cur, items);
        for (std::size_t p = inserted; p < pos + cur.length; ++p) {
            finder_.Insert(p);
        }
        pos += cur.length;
    }
    return items;
}

}  // namespace

Encoder::Encoder(bool compress) : compress_(compress) {
    pending_.reserve(kResetInterval);
}

void Encoder::Write(std::span<const std::uint8_t> data) {
    inputSize_ += data.size();
    while (!data.empty()) {
        const std::size_t take = std::min(data.size(), kResetInterval - pending_.size());
        pending_.insert(pending_.end(), data.begin(),
                        data.begin() + static_cast<std::ptrdiff_t>(take));
        data = data.subspan(take);
        if (pending_.size() == kResetInterval) {
            EncodeInterval(pending_);
            pending_.clear();
        }
    }
}

void Encoder::Finish() {
    if (!pending_.empty()) {
        // Every frame must decode to a full 32 KiB, so the tail is padded with zeros.
        pending_.resize((pending_.size() + kFrameSize - 1) / kFrameSize * kFrameSize, 0);
        EncodeInterval(pending_);
        pending_.clear();
    }
    // The last entry is where a following frame would start: there is none.
    frameStarts_.pop_back();
}

void Encoder::EncodeInterval(std::span<const std::uint8_t> interval) {
    if (!compress_ || !TryCompressed(interval)) {
        Store(interval);
    }
}

bool Encoder::TryCompressed(std::span<const std::uint8_t> interval) {
    const std::size_t start = output_.size();
    const std::size_t firstFrame = frameStarts_.size() - 1;
    static thread_local MatchFinder finder;
    const std::vector<Item> items = Parser(interval, finder).Run();

    BitWriter out(output_, start + interval.size() + interval.size() / 2);
    out.Put(0, 1);  // E8 translation off
    PreviousLengths prev;
    FrameCursor cursor{0, &frameStarts_};
    WriteCompressedBlock(out, items, interval.size(), prev, cursor);

    bool fits = !out.Overflowed() && output_.size() - start < interval.size();
    for (std::size_t f = firstFrame; fits && f + 1 < frameStarts_.size(); ++f) {
        fits = frameStarts_[f + 1] - frameStarts_[f] <= kMaxCompressedFrame;
    }
    if (!fits) {
        output_.resize(start);
        frameStarts_.resize(firstFrame + 1);
    }
    return fits;
}

void Encoder::Store(std::span<const std::uint8_t> interval) {
    BitWriter out(output_);
    out.Put(0, 1);  // E8 translation off
    FrameCursor cursor{0, &frameStarts_};
    for (std::size_t at = 0; at < interval.size(); at += kFrameSize) {
        WriteUncompressedBlock(out, interval.subspan(at, kFrameSize), {1, 1, 1}, cursor);
    }
}

Compressed Compress(std::span<const std::uint8_t> input, bool compress) {
    Encoder encoder(compress);
    encoder.Write(input);
    encoder.Finish();
    Compressed result;
    result.frameStarts = encoder.FrameStarts();
    result.data = encoder.TakeOutput();
    return result;
}

}  // namespace hhc::lzx
