// Name list and transform list.
#include "hhc/chm/dataspace.h"

#include <string_view>

#include "hhc/chm/byte_sink.h"

namespace hhc::chm {

namespace {

void Utf16(ByteSink& sink, std::string_view ascii) {
    for (const char c : ascii) {
        sink.U16(static_cast<std::uint16_t>(c));
    }
}

}  // namespace

std::vector<std::uint8_t> NameList() {
    ByteSink sink;
    const std::string_view names[] = {"Uncompressed", "MSCompressed"};
    sink.U16(0);  // total length in 16-bit words, patched below
    sink.U16(2);
    for (const std::string_view name : names) {
        sink.U16(static_cast<std::uint16_t>(name.size()));
        Utf16(sink, name);
        sink.U16(0);
    }
    sink.PatchU16(0, static_cast<std::uint16_t>(sink.Size() / 2));
    return sink.Take();
}

std::vector<std::uint8_t> TransformList() {
    ByteSink sink;
    Utf16(sink, std::string_view(kLzxTransformGuid).substr(0, 19));
    return sink.Take();
}

}  // namespace hhc::chm
