// Directory chunks. An entry never straddles chunks; the free-space field is exactly 4096
// minus the end of the last entry, as 7-Zip checks, and the quick references and entry count
// live inside that free space at the chunk's end. Quick reference i points at entry 5i,
// counted from the end of the chunk header. Listing chunks come first in name order, then each
// index level, the root last.
#include "hhc/chm/directory.h"

#include <algorithm>

#include "common/ascii.h"
#include "hhc/chm/byte_sink.h"
#include "hhc/chm/encint.h"
#include "hhc/error.h"

namespace hhc::chm {

namespace {

constexpr std::uint32_t kListingHeader = 0x14;
constexpr std::uint32_t kIndexHeader = 0x08;
constexpr std::uint32_t kEntriesPerQuickRef = 1 + (1u << kQuickRefDensity);

// Entries of one chunk before its header and trailer are added.
struct ChunkBody {
    ByteSink entries;
    std::vector<std::uint16_t> entryOffsets;
    std::string firstName;
};

std::uint32_t QuickRefs(std::size_t entryCount) {
    return entryCount == 0 ? 0 : static_cast<std::uint32_t>((entryCount - 1) / kEntriesPerQuickRef);
}

class ChunkPacker {
public:
    explicit ChunkPacker(std::uint32_t headerSize) : headerSize_(headerSize) {}

    void Add(std::string_view name, const ByteSink& entry) {
        if (!Fits(current_, entry.Size())) {
            if (current_.entryOffsets.empty()) {
                throw Error("name too long for a directory chunk: " + std::string(name));
            }
            bodies_.push_back(std::move(current_));
            current_ = ChunkBody{};
        }
        if (current_.entryOffsets.empty()) {
            current_.firstName = name;
        }
        current_.entryOffsets.push_back(static_cast<std::uint16_t>(current_.entries.Size()));
        current_.entries.Bytes(entry.Data());
    }

    std::vector<ChunkBody> Finish() {
        if (!current_.entryOffsets.empty()) {
            bodies_.push_back(std::move(current_));
        }
        return std::move(bodies_);
    }

private:
    bool Fits(const ChunkBody& body, std::size_t entrySize) const {
        const std::size_t count = body.entryOffsets.size() + 1;
        return headerSize_ + body.entries.Size() + entrySize + 2 + 2 * QuickRefs(count) <=
               kChunkSize;
    }

    std::uint32_t headerSize_;
    ChunkBody current_;
    std::vector<ChunkBody> bodies_;
};

// Entries, zero fill, quick references growing backwards from the entry count at the end.
void PutBodyAndTrailer(ByteSink& chunk, std::size_t chunkStart, const ChunkBody& body) {
    chunk.Bytes(body.entries.Data());
    chunk.Zeros(chunkStart + kChunkSize - chunk.Size());
    const std::size_t count = body.entryOffsets.size();
    chunk.PatchU16(chunkStart + kChunkSize - 2, static_cast<std::uint16_t>(count));
    for (std::uint32_t i = 1; i <= QuickRefs(count); ++i) {
        chunk.PatchU16(chunkStart + kChunkSize - 2 - 2 * i,
                       body.entryOffsets[i * kEntriesPerQuickRef]);
    }
}

}  // namespace

bool NameLess(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(common::FoldAscii(a[i]));
        const auto y = static_cast<unsigned char>(common::FoldAscii(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    return a.size() < b.size();
}

namespace {

using ChunkRefs = std::vector<std::pair<std::string, std::uint32_t>>;  // first name, chunk

// Listing chunks in name order, linked to their neighbours.
ChunkRefs PutListingChunks(const std::vector<DirectoryEntry>& sorted, ByteSink& out) {
    ChunkPacker packer(kListingHeader);
    for (const DirectoryEntry& e : sorted) {
        ByteSink entry;
        PutEncInt(entry, e.name.size());
        entry.Text(e.name);
        PutEncInt(entry, e.section);
        PutEncInt(entry, e.offset);
        PutEncInt(entry, e.length);
        packer.Add(e.name, entry);
    }
    const std::vector<ChunkBody> bodies = packer.Finish();
    const auto count = static_cast<std::uint32_t>(bodies.size());
    ChunkRefs refs;
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::size_t start = out.Size();
        out.Text("PMGL");
        out.U32(static_cast<std::uint32_t>(kChunkSize - kListingHeader - bodies[k].entries.Size()));
        out.U32(0);
        out.U32(k == 0 ? 0xFFFFFFFFu : k - 1);
        out.U32(k + 1 == count ? 0xFFFFFFFFu : k + 1);
        PutBodyAndTrailer(out, start, bodies[k]);
        refs.emplace_back(bodies[k].firstName, k);
    }
    return refs;
}

// One index level over `lower`: an entry with the first name of every chunk below.
ChunkRefs PutIndexLevel(const ChunkRefs& lower, std::uint32_t firstChunk, ByteSink& out) {
    ChunkPacker packer(kIndexHeader);
    for (const auto& [name, child] : lower) {
        ByteSink entry;
        PutEncInt(entry, name.size());
        entry.Text(name);
        PutEncInt(entry, child);
        packer.Add(name, entry);
    }
    ChunkRefs refs;
    for (const ChunkBody& body : packer.Finish()) {
        const std::size_t start = out.Size();
        out.Text("PMGI");
        out.U32(static_cast<std::uint32_t>(kChunkSize - kIndexHeader - body.entries.Size()));
        PutBodyAndTrailer(out, start, body);
        refs.emplace_back(body.firstName, firstChunk++);
    }
    return refs;
}

}  // namespace

Directory BuildDirectory(std::vector<DirectoryEntry> entries) {
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return NameLess(a.name, b.name);
    });
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (!NameLess(entries[i - 1].name, entries[i].name)) {
            throw Error("two stored names differ only in letter case: " + entries[i].name);
        }
    }
    Directory dir;
    ByteSink out;
    ChunkRefs level = PutListingChunks(entries, out);
    dir.listingChunks = static_cast<std::uint32_t>(level.size());
    std::uint32_t chunks = dir.listingChunks;
    while (level.size() > 1) {
        level = PutIndexLevel(level, chunks, out);
        chunks += static_cast<std::uint32_t>(level.size());
        ++dir.depth;
    }
    dir.chunkCount = chunks;
    dir.rootChunk = dir.depth > 1 ? static_cast<std::int32_t>(chunks - 1) : -1;
    dir.chunks = out.Take();
    return dir;
}

}  // namespace hhc::chm
