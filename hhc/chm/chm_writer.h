// Writes a complete .chm. Files of the compressed section arrive in pieces and are compressed
// as they come; the compressed stream goes to a store the caller gives (a file, so that memory
// does not grow with the input) and is copied into place by Finish, after the headers, the
// directory and the rest of the uncompressed section, since their sizes are known only then.
#pragma once

#include <cstdint>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "hhc/chm/directory.h"
#include "hhc/lzx/encoder.h"

namespace hhc::chm {

// What the container's headers say about the file.
struct HeaderInfo {
    std::uint32_t lcid = 0x0409;
    std::uint32_t timestamp = 0;
};

class ChmWriter {
public:
    // `contentStore` must be empty, readable and writable, and outlive the writer.
    explicit ChmWriter(std::iostream& contentStore, lzx::EncoderOptions options = {});

    // Starts a file of the compressed section; `name` is absolute ("/img/a.gif"). Its bytes
    // follow through Append, up to the next BeginFile or Finish.
    void BeginFile(const std::string& name);
    void Append(std::span<const std::uint8_t> bytes);
    void AddFile(const std::string& name, std::span<const std::uint8_t> bytes);
    // A file of the uncompressed section (#SYSTEM, #ITBITS).
    void AddUncompressedFile(const std::string& name, std::vector<std::uint8_t> bytes);
    // Throws hhc::Error when a stream fails or the directory cannot hold the names. Nothing may
    // be added afterwards.
    void Finish(std::ostream& out, const HeaderInfo& info);

private:
    struct Stored {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };

    void Store(lzx::EncodedInterval&& interval);
    void CopyContent(std::ostream& out);

    std::iostream& content_;
    std::uint64_t contentSize_ = 0;
    std::vector<std::uint64_t> frameStarts_{0};
    std::vector<DirectoryEntry> compressed_;
    std::vector<Stored> uncompressed_;
    lzx::Encoder encoder_;  // last: its workers stop before the members they fill go
};

}  // namespace hhc::chm
