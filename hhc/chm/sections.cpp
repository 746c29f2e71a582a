// LZX section control files.
#include "hhc/chm/sections.h"

#include "hhc/chm/byte_sink.h"
#include "hhc/chm/dataspace.h"

namespace hhc::chm {

namespace {

constexpr std::uint32_t kResetTableHeader = 0x28;
constexpr std::uint64_t kFrameLength = 0x8000;

}  // namespace

std::string ContentName() {
    return std::string(kStoragePrefix) + "Content";
}

std::string ControlDataName() {
    return std::string(kStoragePrefix) + "ControlData";
}

std::string SpanInfoName() {
    return std::string(kStoragePrefix) + "SpanInfo";
}

std::string InstanceDataFolder() {
    return std::string(kStoragePrefix) + "Transform/" + kLzxTransformGuid + "/InstanceData/";
}

std::string ResetTableName() {
    return InstanceDataFolder() + "ResetTable";
}

std::vector<std::uint8_t> ControlData() {
    ByteSink sink;
    sink.U32(6);  // DWORDs that follow
    sink.Text("LZXC");
    sink.U32(2);  // version: the next two fields count 32 KiB units
    sink.U32(2);  // reset interval
    sink.U32(2);  // window size
    sink.U32(1);  // windows per reset; chmlib multiplies its reset period by it
    sink.U32(0);
    return sink.Take();
}

std::vector<std::uint8_t> SpanInfo(std::uint64_t uncompressedLength) {
    ByteSink sink;
    sink.U64(uncompressedLength);
    return sink.Take();
}

std::vector<std::uint8_t> ResetTable(std::uint64_t uncompressedLength,
                                     std::uint64_t compressedLength,
                                     std::span<const std::uint64_t> frameStarts) {
    ByteSink sink;
    sink.U32(2);
    sink.U32(static_cast<std::uint32_t>(frameStarts.size()));
    sink.U32(8);
    sink.U32(kResetTableHeader);
    sink.U64(uncompressedLength);
    sink.U64(compressedLength);
    sink.U64(kFrameLength);
    for (const std::uint64_t start : frameStarts) {
        sink.U64(start);
    }
    return sink.Take();
}

}  // namespace hhc::chm
