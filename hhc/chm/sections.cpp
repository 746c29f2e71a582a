// LZX section control files.
#include "hhc/chm/sections.h"

#include "hhc/chm/byte_sink.h"
#include "hhc/chm/dataspace.h"
#include "hhc/lzx/lzx_constants.h"

namespace hhc::chm {

namespace {

constexpr std::uint32_t kControlDataVersion = 2;  // sizes below count 32 KiB frames
constexpr auto kFramesPerReset = static_cast<std::uint32_t>(lzx::kResetInterval / lzx::kFrameSize);
constexpr auto kFramesPerWindow = static_cast<std::uint32_t>(lzx::kWindowSize / lzx::kFrameSize);
// chmlib multiplies its reset period by this; the stream resets once per window.
constexpr std::uint32_t kWindowsPerReset = 1;
static_assert(kFramesPerReset == 2 && kFramesPerWindow == 2,
              "the only parameters every common reader decodes");

constexpr std::uint32_t kResetTableVersion = 2;
constexpr std::uint32_t kResetTableEntrySize = 8;
constexpr std::uint32_t kResetTableHeader = 0x28;  // where the entries start

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
    sink.U32(kControlDataVersion);
    sink.U32(kFramesPerReset);
    sink.U32(kFramesPerWindow);
    sink.U32(kWindowsPerReset);
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
    sink.U32(kResetTableVersion);
    sink.U32(static_cast<std::uint32_t>(frameStarts.size()));
    sink.U32(kResetTableEntrySize);
    sink.U32(kResetTableHeader);
    sink.U64(uncompressedLength);
    sink.U64(compressedLength);
    sink.U64(lzx::kFrameSize);
    for (const std::uint64_t start : frameStarts) {
        sink.U64(start);
    }
    return sink.Take();
}

}  // namespace hhc::chm
