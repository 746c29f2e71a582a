// Container layout: ITSF header (version 3), header section 0 (file size), the directory
// (ITSP header and chunks), then content section 0, which ends with the LZX stream of
// section 1. Every ::DataSpace file lives in section 0, where the readers look for them.
#include "hhc/chm/chm_writer.h"

#include <algorithm>
#include <cassert>
#include <set>

#include "hhc/chm/byte_sink.h"
#include "hhc/chm/dataspace.h"
#include "hhc/chm/sections.h"
#include "hhc/error.h"

namespace hhc::chm {

namespace {

constexpr std::uint32_t kItsfHeaderSize = 0x60;
constexpr std::uint32_t kSection0HeaderSize = 0x18;
constexpr std::uint32_t kItspHeaderSize = 0x54;
constexpr std::uint64_t kDirectoryOffset = kItsfHeaderSize + kSection0HeaderSize;

// ITSF header, version 3 (7-Zip and the Free Pascal reader refuse version 2).
constexpr std::uint32_t kItsfVersion = 3;
constexpr std::uint32_t kItsfUnknown = 1;  // Microsoft writes 1; 7-Zip accepts only 0 or 1
// The two ITSF GUIDs differ in their first group; libmspack checks both.
constexpr const char* kItsfGuid1 = "{7C01FD10-7BAA-11D0-9E0C-00A0C922E6EC}";
constexpr const char* kItsfGuid2 = "{7C01FD11-7BAA-11D0-9E0C-00A0C922E6EC}";

// Header section 0.
constexpr std::uint32_t kSection0Tag = 0x01FE;  // 7-Zip requires it exactly

// ITSP (directory) header.
constexpr std::uint32_t kItspVersion = 1;  // chmlib and 7-Zip insist on 1
constexpr std::uint32_t kItspUnknown = 0x0A;
constexpr std::uint32_t kFirstListingChunk = 0;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
constexpr const char* kItspGuid = "{5D02926A-212E-11D0-9DF9-00A0C922E6EC}";
// Every reference file carries US English in the directory header, whatever its language.
constexpr std::uint32_t kDirectoryLcid = 0x0409;

// Every folder above a "/..." name, with its trailing '/'.
void AddFolders(const std::string& name, std::set<std::string>& folders) {
    if (name.empty() || name.front() != '/') {
        return;
    }
    for (std::size_t slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
        folders.insert(name.substr(0, slash + 1));
    }
}

void ItsfHeader(ByteSink& sink, const HeaderInfo& info, std::uint64_t directorySize) {
    const std::size_t start = sink.Size();
    sink.Text("ITSF");
    sink.U32(kItsfVersion);
    sink.U32(kItsfHeaderSize);
    sink.U32(kItsfUnknown);
    for (int shift = 24; shift >= 0; shift -= 8) {  // the time stamp is big-endian
        sink.U8(static_cast<std::uint8_t>(info.timestamp >> shift));
    }
    sink.U32(info.lcid);
    sink.Guid(kItsfGuid1);
    sink.Guid(kItsfGuid2);
    sink.U64(kItsfHeaderSize);                   // header section 0: offset
    sink.U64(kSection0HeaderSize);               // and length
    sink.U64(kDirectoryOffset);                  // header section 1, the directory: offset
    sink.U64(directorySize);                     // and length
    sink.U64(kDirectoryOffset + directorySize);  // content section 0
    assert(sink.Size() - start == kItsfHeaderSize);
}

void Section0Header(ByteSink& sink, std::uint64_t fileSize) {
    const std::size_t start = sink.Size();
    sink.U32(kSection0Tag);
    sink.U32(0);
    sink.U64(fileSize);
    sink.U32(0);
    sink.U32(0);
    assert(sink.Size() - start == kSection0HeaderSize);
}

void ItspHeader(ByteSink& sink, const Directory& dir) {
    const std::size_t start = sink.Size();
    sink.Text("ITSP");
    sink.U32(kItspVersion);
    sink.U32(kItspHeaderSize);
    sink.U32(kItspUnknown);
    sink.U32(kChunkSize);
    sink.U32(kQuickRefDensity);
    sink.U32(dir.depth);
    sink.U32(static_cast<std::uint32_t>(dir.rootChunk));
    sink.U32(kFirstListingChunk);
    sink.U32(dir.listingChunks - 1);  // last listing chunk
    sink.U32(kNone);
    sink.U32(dir.chunkCount);
    sink.U32(kDirectoryLcid);
    sink.Guid(kItspGuid);
    sink.U32(kItspHeaderSize);
    sink.U32(kNone);
    sink.U32(kNone);
    sink.U32(kNone);
    assert(sink.Size() - start == kItspHeaderSize);
}

void Headers(ByteSink& sink, const HeaderInfo& info, const Directory& dir, std::uint64_t fileSize) {
    ItsfHeader(sink, info, kItspHeaderSize + std::uint64_t{kChunkSize} * dir.chunkCount);
    Section0Header(sink, fileSize);
    ItspHeader(sink, dir);
}

}  // namespace

ChmWriter::ChmWriter(std::iostream& contentStore, lzx::EncoderOptions options)
    : content_(contentStore),
      encoder_([this](lzx::EncodedInterval&& interval) { Store(std::move(interval)); }, options) {}

void ChmWriter::Store(lzx::EncodedInterval&& interval) {
    content_.write(reinterpret_cast<const char*>(interval.bytes.data()),
                   static_cast<std::streamsize>(interval.bytes.size()));
    if (!content_) {
        throw Error("writing the compressed section failed");
    }
    for (const std::uint64_t end : interval.frameEnds) {
        frameStarts_.push_back(contentSize_ + end);
    }
    contentSize_ += interval.bytes.size();
}

void ChmWriter::BeginFile(const std::string& name) {
    compressed_.push_back(DirectoryEntry{name, 1, encoder_.InputSize(), 0});
}

void ChmWriter::Append(std::span<const std::uint8_t> bytes) {
    compressed_.back().length += bytes.size();
    encoder_.Write(bytes);
}

void ChmWriter::AddFile(const std::string& name, std::span<const std::uint8_t> bytes) {
    BeginFile(name);
    Append(bytes);
}

void ChmWriter::AddUncompressedFile(const std::string& name, std::vector<std::uint8_t> bytes) {
    uncompressed_.push_back(Stored{name, std::move(bytes)});
}

void ChmWriter::CopyContent(std::ostream& out) {
    content_.flush();
    content_.seekg(0);
    std::vector<char> buffer(1 << 20);
    for (std::uint64_t left = contentSize_; left > 0 && content_;) {
        const auto piece =
            static_cast<std::streamsize>(std::min<std::uint64_t>(left, buffer.size()));
        content_.read(buffer.data(), piece);
        out.write(buffer.data(), content_.gcount());
        left -= static_cast<std::uint64_t>(content_.gcount());
    }
    if (!content_) {
        throw Error("reading the compressed section back failed");
    }
}

void ChmWriter::Finish(std::ostream& out, const HeaderInfo& info) {
    const std::uint64_t spanLength = encoder_.InputSize();
    encoder_.Finish();
    // The last entry is where a following frame would start: there is none.
    frameStarts_.pop_back();

    std::vector<Stored> section0;
    section0.push_back({kNameListName, NameList()});
    section0.push_back({kTransformListName, TransformList()});
    section0.push_back({SpanInfoName(), SpanInfo(spanLength)});
    section0.push_back({ControlDataName(), ControlData()});
    section0.push_back({ResetTableName(), ResetTable(spanLength, contentSize_, frameStarts_)});
    for (Stored& s : uncompressed_) {
        section0.push_back(std::move(s));
    }
    uncompressed_.clear();

    std::vector<DirectoryEntry> entries = std::move(compressed_);
    std::uint64_t offset = 0;
    for (const Stored& s : section0) {
        // An empty file sits at offset 0, as readers are used to.
        entries.push_back({s.name, 0, s.bytes.empty() ? 0 : offset, s.bytes.size()});
        offset += s.bytes.size();
    }
    entries.push_back({ContentName(), 0, offset, contentSize_});
    const std::uint64_t section0Size = offset + contentSize_;

    std::set<std::string> folders;
    for (const DirectoryEntry& e : entries) {
        AddFolders(e.name, folders);
    }
    for (const std::string& folder : folders) {
        entries.push_back({folder, 0, 0, 0});
    }
    entries.push_back({InstanceDataFolder(), 0, 0, 0});

    const Directory dir = BuildDirectory(std::move(entries));
    const std::uint64_t section0Start =
        kDirectoryOffset + kItspHeaderSize + std::uint64_t{kChunkSize} * dir.chunkCount;

    ByteSink head;
    Headers(head, info, dir, section0Start + section0Size);
    const auto write = [&out](const std::vector<std::uint8_t>& bytes) {
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    };
    write(head.Data());
    write(dir.chunks);
    for (const Stored& s : section0) {
        write(s.bytes);
    }
    CopyContent(out);
    out.flush();
    if (!out) {
        throw Error("writing the compiled file failed");
    }
}

}  // namespace hhc::chm
