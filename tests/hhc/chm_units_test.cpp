// Container units against worked examples: ENCINT, the directory chunks (read back by a small
// parser written here from the format, not from our writer), and a complete two-page file
// whose every header byte is known.
#include <array>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/chm/byte_sink.h"
#include "hhc/chm/chm_writer.h"
#include "hhc/chm/directory.h"
#include "hhc/chm/encint.h"
#include "hhc/error.h"
#include "tests/hhc/test_support.h"

namespace hhc::chm {
namespace {

using testing::Bytes;
using testing::U16;
using testing::U32;

std::uint64_t DecodeEncInt(const Bytes& b, std::size_t& at) {
    std::uint64_t v = 0;
    for (;;) {
        const std::uint8_t byte = b[at++];
        v = (v << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            return v;
        }
    }
}

TEST(EncInt, TableValuesAndRoundTrip) {
    const std::vector<std::pair<std::uint64_t, Bytes>> table = {
        {0, {0x00}},
        {127, {0x7F}},
        {128, {0x81, 0x00}},
        {279, {0x82, 0x17}},
        {16383, {0xFF, 0x7F}},
        {16384, {0x81, 0x80, 0x00}},
        {32784, {0x82, 0x80, 0x10}},
        {0xFFFFFFFFu, {0x8F, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const auto& [value, bytes] : table) {
        ByteSink sink;
        PutEncInt(sink, value);
        EXPECT_EQ(sink.Data(), bytes) << value;
        EXPECT_EQ(EncIntSize(value), bytes.size()) << value;
        std::size_t at = 0;
        EXPECT_EQ(DecodeEncInt(sink.Data(), at), value);
        EXPECT_EQ(at, bytes.size());
    }
}

struct ParsedChunk {
    bool listing = false;
    std::vector<std::string> names;
    std::vector<std::uint64_t> numbers;  // PMGI: child chunk; PMGL: section
    std::int32_t prev = 0, next = 0;
};

// Reads one chunk the way 7-Zip and libmspack do: entries up to 4096 - free space, then
// the entry count and quick references from the end, which must point at entries 5, 10, ...
ParsedChunk ParseChunk(const Bytes& chunks, std::size_t index) {
    const Bytes c(chunks.begin() + static_cast<std::ptrdiff_t>(index * kChunkSize),
                  chunks.begin() + static_cast<std::ptrdiff_t>((index + 1) * kChunkSize));
    ParsedChunk p;
    p.listing = c[3] == 'L';
    EXPECT_TRUE(std::string(c.begin(), c.begin() + 4) == (p.listing ? "PMGL" : "PMGI"));
    const std::size_t header = p.listing ? 0x14 : 0x08;
    const std::size_t end = kChunkSize - U32(c, 4);
    if (p.listing) {
        p.prev = static_cast<std::int32_t>(U32(c, 0x0C));
        p.next = static_cast<std::int32_t>(U32(c, 0x10));
    }
    std::vector<std::size_t> starts;
    std::size_t at = header;
    while (at < end) {
        starts.push_back(at - header);
        const std::uint64_t len = DecodeEncInt(c, at);
        p.names.emplace_back(c.begin() + static_cast<std::ptrdiff_t>(at),
                             c.begin() + static_cast<std::ptrdiff_t>(at + len));
        at += len;
        p.numbers.push_back(DecodeEncInt(c, at));
        if (p.listing) {
            DecodeEncInt(c, at);
            DecodeEncInt(c, at);
        }
    }
    EXPECT_EQ(at, end) << "free space must end exactly at an entry boundary";
    EXPECT_EQ(U16(c, kChunkSize - 2), starts.size());
    const std::size_t quickRefs = starts.empty() ? 0 : (starts.size() - 1) / 5;
    EXPECT_LE(end + 2 + 2 * quickRefs, kChunkSize);
    for (std::size_t i = 1; i <= quickRefs; ++i) {
        EXPECT_EQ(U16(c, kChunkSize - 2 - 2 * i), starts[5 * i]) << "quickref " << i;
    }
    return p;
}

std::vector<DirectoryEntry> Files(const std::vector<std::string>& names) {
    std::vector<DirectoryEntry> entries;
    for (const std::string& n : names) {
        entries.push_back({n, 1, 0, 1});
    }
    return entries;
}

TEST(Directory, OneChunkSortedWithLowerCaseFoldAndQuickReferences) {
    const Directory dir =
        BuildDirectory(Files({"::DataSpace/NameList", "/Zeta.htm", "/_x", "/a.htm", "/#SYSTEM", "/",
                              "/7-Zip.hhc", "/a.htm.bak", "/A-b", "/[x]", "/#IDXHDR"}));
    EXPECT_EQ(
        ParseChunk(dir.chunks, 0).names,
        (std::vector<std::string>{"/", "/#IDXHDR", "/#SYSTEM", "/7-Zip.hhc", "/[x]", "/_x", "/A-b",
                                  "/a.htm", "/a.htm.bak", "/Zeta.htm", "::DataSpace/NameList"}));
    EXPECT_EQ(dir.chunkCount, 1u);
    EXPECT_EQ(dir.rootChunk, -1);
    EXPECT_EQ(dir.depth, 1u);
    for (const std::size_t n : {1u, 4u, 5u, 6u, 10u, 11u, 23u}) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < n; ++i) {
            names.push_back("/file" + std::string(i % 3 + 1, 'x') + std::to_string(100 + i));
        }
        SCOPED_TRACE(n);
        EXPECT_EQ(ParseChunk(BuildDirectory(Files(names)).chunks, 0).names.size(), n);
    }
    EXPECT_THROW(BuildDirectory(Files({"/a.htm", "/A.HTM"})), Error);
    EXPECT_THROW(BuildDirectory(Files({"/" + std::string(5000, 'x')})), Error);
}

// Walks the index levels: each index entry holds the first name of its child chunk.
void CheckIndexedDirectory(const Directory& dir, std::size_t nameCount, std::uint32_t depth) {
    EXPECT_EQ(dir.depth, depth);
    ASSERT_EQ(dir.chunks.size(), dir.chunkCount * kChunkSize);
    EXPECT_EQ(dir.rootChunk, static_cast<std::int32_t>(dir.chunkCount - 1));
    std::size_t listed = 0;
    for (std::uint32_t k = 0; k < dir.listingChunks; ++k) {
        const ParsedChunk c = ParseChunk(dir.chunks, k);
        ASSERT_TRUE(c.listing);
        EXPECT_EQ(c.prev, k == 0 ? -1 : static_cast<std::int32_t>(k - 1));
        EXPECT_EQ(c.next, k + 1 == dir.listingChunks ? -1 : static_cast<std::int32_t>(k + 1));
        listed += c.names.size();
    }
    EXPECT_EQ(listed, nameCount);
    std::size_t children = 0;
    for (std::uint32_t k = dir.listingChunks; k < dir.chunkCount; ++k) {
        const ParsedChunk c = ParseChunk(dir.chunks, k);
        ASSERT_FALSE(c.listing);
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            ASSERT_LT(c.numbers[i], k);
            EXPECT_EQ(ParseChunk(dir.chunks, c.numbers[i]).names.front(), c.names[i]);
        }
        children += c.names.size();
    }
    EXPECT_EQ(children, dir.chunkCount - 1) << "every chunk but the root has one parent entry";
}

// 400 short names need a few listing chunks and one index chunk; 3000 names of 200 bytes
// need more index chunks than one, hence a second index level.
TEST(Directory, IndexLevelsAboveSeveralListingChunks) {
    for (const auto& [count, length, depth] :
         {std::array<std::size_t, 3>{400, 20, 2}, std::array<std::size_t, 3>{3000, 200, 3}}) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < count; ++i) {
            names.push_back("/" + std::string(length, 'n') + std::to_string(10000 + i) + ".htm");
        }
        SCOPED_TRACE(count);
        CheckIndexedDirectory(BuildDirectory(Files(names)), count,
                              static_cast<std::uint32_t>(depth));
    }
}

Bytes Hex(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    for (std::string byte; in >> byte;) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
    }
    return out;
}

// Two 27-byte pages, a one-byte #STRINGS and a given #SYSTEM, stored uncompressed: every
// header byte, the directory and the ::DataSpace files are known for this file.
TEST(ChmWriter, TwoPageWorkedExample) {
    std::stringstream store;
    ChmWriter writer(store, {.compress = false});
    const std::string a = "<html><body>A</body></html>";
    const std::string b = "<html><body>B</body></html>";
    writer.AddFile("/a.htm", Bytes(a.begin(), a.end()));
    writer.AddFile("/b.htm", Bytes(b.begin(), b.end()));
    writer.AddFile("/#STRINGS", Bytes{0});
    const Bytes system = Hex(
        "03 00 00 00 09 00 16 00 48 48 41 20 56 65 72 73 69 6F 6E 20 34 2E 37 34 2E 38 37 30 32 "
        "00 04 00 24 00 09 04 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
        "00 00 00 00 00 00 00 00 00 00 00 00 02 00 06 00 61 2E 68 74 6D 00 03 00 05 00 4D 69 6E "
        "69 00 06 00 04 00 6D 69 6E 00");
    ASSERT_EQ(system.size(), 97u);
    writer.AddUncompressedFile("/#SYSTEM", system);
    writer.AddUncompressedFile("/#ITBITS", {});
    std::ostringstream out;
    writer.Finish(out, {0x0409, 0x5F5E1000});
    const std::string s = out.str();
    const Bytes file(s.begin(), s.end());

    ASSERT_EQ(file.size(), 37363u);
    const Bytes headers = Hex(
        "49 54 53 46 03 00 00 00 60 00 00 00 01 00 00 00 5F 5E 10 00 09 04 00 00 10 FD 01 7C AA "
        "7B D0 11 9E 0C 00 A0 C9 22 E6 EC 11 FD 01 7C AA 7B D0 11 9E 0C 00 A0 C9 22 E6 EC 60 00 "
        "00 00 00 00 00 00 18 00 00 00 00 00 00 00 78 00 00 00 00 00 00 00 54 10 00 00 00 00 00 "
        "00 CC 10 00 00 00 00 00 00 FE 01 00 00 00 00 00 00 F3 91 00 00 00 00 00 00 00 00 00 00 "
        "00 00 00 00 49 54 53 50 01 00 00 00 54 00 00 00 0A 00 00 00 00 10 00 00 02 00 00 00 01 "
        "00 00 00 FF FF FF FF 00 00 00 00 00 00 00 00 FF FF FF FF 01 00 00 00 09 04 00 00 6A 92 "
        "02 5D 2E 21 D0 11 9D F9 00 A0 C9 22 E6 EC 54 00 00 00 FF FF FF FF FF FF FF FF FF FF FF "
        "FF");
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 0xCC), headers);

    const Bytes chunk(file.begin() + 0xCC, file.begin() + 0x10CC);
    EXPECT_EQ(Bytes(chunk.begin(), chunk.begin() + 20),
              Hex("50 4D 47 4C 05 0E 00 00 00 00 00 00 FF FF FF FF FF FF FF FF"));
    EXPECT_EQ(Bytes(chunk.end() - 6, chunk.end()), Hex("E3 00 35 00 0D 00"));
    const ParsedChunk parsed = ParseChunk(chunk, 0);
    EXPECT_EQ(parsed.names.size(), 13u);
    EXPECT_EQ(parsed.names[3], "/#SYSTEM");
    // Entry 7: Content in section 0 at 279, 32784 bytes long.
    EXPECT_EQ(Bytes(chunk.begin() + 0x6B, chunk.begin() + 0x6C), Hex("28"));
    EXPECT_EQ(Bytes(chunk.begin() + 0x94, chunk.begin() + 0x9A), Hex("00 82 17 82 80 10"));

    const std::size_t c0 = 0x10CC;
    const Bytes dataspace(file.begin() + c0, file.begin() + c0 + 182);
    EXPECT_EQ(dataspace,
              Hex("1E 00 02 00 0C 00 55 00 6E 00 63 00 6F 00 6D 00 70 00 72 00 65 00 73 00 73 00 "
                  "65 00 64 00 00 00 0C 00 4D 00 53 00 43 00 6F 00 6D 00 70 00 72 00 65 00 73 00 "
                  "73 00 65 00 64 00 00 00 "
                  "7B 00 37 00 46 00 43 00 32 00 38 00 39 00 34 00 30 00 2D 00 39 00 44 00 33 00 "
                  "31 00 2D 00 31 00 31 00 44 00 30 00 "
                  "37 00 00 00 00 00 00 00 "
                  "06 00 00 00 4C 5A 58 43 02 00 00 00 02 00 00 00 02 00 00 00 01 00 00 00 00 00 "
                  "00 00 "
                  "02 00 00 00 01 00 00 00 08 00 00 00 28 00 00 00 37 00 00 00 00 00 00 00 10 80 "
                  "00 00 00 00 00 00 00 80 00 00 00 00 00 00 00 00 00 00 00 00 00 00"));
    const std::size_t content = c0 + 279;
    EXPECT_EQ(Bytes(file.begin() + content, file.begin() + content + 16),
              Hex("08 30 00 00 01 00 00 00 01 00 00 00 01 00 00 00"));
    EXPECT_EQ(std::string(file.begin() + content + 16, file.begin() + content + 16 + 54), a + b);
}

}  // namespace
}  // namespace hhc::chm
