// Writes a complete .chm: AddFile streams each file into the LZX section as it comes, so only
// the compressed section is held until Finish lays out the headers, the directory and the
// uncompressed section and writes everything to the stream.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "hhc/chm/directory.h"
#include "hhc/lzx/encoder.h"

namespace hhc::chm {

class ChmWriter {
public:
    // With compress false the LZX section holds uncompressed blocks only.
    ChmWriter(std::uint32_t lcid, std::uint32_t timestamp, bool compress = true);

    // A file of the compressed section; `name` is absolute ("/img/a.gif").
    void AddFile(const std::string& name, std::span<const std::uint8_t> bytes);
    // A file of the uncompressed section (#SYSTEM, #ITBITS).
    void AddUncompressedFile(const std::string& name, std::vector<std::uint8_t> bytes);
    // Throws hhc::Error when the stream fails or the directory cannot hold the names.
    void Finish(std::ostream& out);

private:
    struct Stored {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };

    std::uint32_t lcid_;
    std::uint32_t timestamp_;
    lzx::Encoder encoder_;
    std::vector<DirectoryEntry> compressed_;
    std::vector<Stored> uncompressed_;
};

}  // namespace hhc::chm
