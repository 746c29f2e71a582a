// The CHM directory: every name with its section, offset and length, sorted without regard to
// ASCII letter case (the order readers search in), packed into 4096-byte listing chunks
// (PMGL) with a quick-reference area, and, once there is more than one listing chunk, index
// chunks (PMGI) up to a single root. chmlib finds nothing in a multi-chunk directory without
// an index, and libmspack's lookups rely on the quick references.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hhc::chm {

inline constexpr std::uint32_t kChunkSize = 4096;
// One quick reference per 1 + 2^2 = 5 entries.
inline constexpr std::uint32_t kQuickRefDensity = 2;

struct DirectoryEntry {
    std::string name;  // "/x.htm", "/img/" for a folder, "::DataSpace/..."
    std::uint32_t section = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct Directory {
    std::vector<std::uint8_t> chunks;  // chunkCount x 4096 bytes
    std::uint32_t chunkCount = 0;
    std::uint32_t listingChunks = 0;  // chunks 0 .. listingChunks-1 are PMGL
    std::int32_t rootChunk = -1;      // -1 when there is no index
    std::uint32_t depth = 1;          // 1 = listing chunks only
};

// Lower-case ASCII fold, then bytes; a prefix sorts first.
bool NameLess(std::string_view a, std::string_view b);

// Sorts the entries and packs them. Throws hhc::Error for names equal without regard to case,
// and for a name too long for a chunk.
Directory BuildDirectory(std::vector<DirectoryEntry> entries);

}  // namespace hhc::chm
