// Control files of the LZX-compressed section 1: ControlData (LZX parameters), SpanInfo
// (uncompressed length) and ResetTable (compressed offset of every 32 KiB frame).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace hhc::chm {

inline constexpr const char* kStoragePrefix = "::DataSpace/Storage/MSCompressed/";
std::string ContentName();
std::string ControlDataName();
std::string SpanInfoName();
std::string InstanceDataFolder();
std::string ResetTableName();

// Version 2, reset interval and window both 2 x 32 KiB, one window per reset: the only
// combination every common reader decodes.
std::vector<std::uint8_t> ControlData();
std::vector<std::uint8_t> SpanInfo(std::uint64_t uncompressedLength);
// One entry per frame; uncompressedLength is without the compressor's padding.
std::vector<std::uint8_t> ResetTable(std::uint64_t uncompressedLength,
                                     std::uint64_t compressedLength,
                                     std::span<const std::uint64_t> frameStarts);

}  // namespace hhc::chm
