#include "tests/support/session_fixtures.h"

#include <stdexcept>

#include <lz4.h>

namespace support {

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
    }
}

// A pickled string: length, bytes, zero padding to a multiple of four.
void PutPickled(std::string& out, std::string_view text) {
    PutLittleEndian(out, static_cast<std::uint32_t>(text.size()), 4);
    out.append(text);
    out.append((4 - text.size() % 4) % 4, '\0');
}

}  // namespace

std::string MozLz4File(std::string_view json) {
    std::string file("mozLz40\0", 8);
    PutLittleEndian(file, static_cast<std::uint32_t>(json.size()), 4);
    const int bound = LZ4_compressBound(static_cast<int>(json.size()));
    std::string block(static_cast<std::size_t>(bound), '\0');
    const int size =
        LZ4_compress_default(json.data(), block.data(), static_cast<int>(json.size()), bound);
    if (size <= 0) {
        throw std::runtime_error("LZ4 could not compress the fixture");
    }
    return file + block.substr(0, static_cast<std::size_t>(size));
}

SnssWriter::SnssWriter(std::int32_t version, std::string_view magic) : bytes_(magic) {
    PutLittleEndian(bytes_, static_cast<std::uint32_t>(version), 4);
}

SnssWriter& SnssWriter::Command(std::uint8_t id, std::initializer_list<std::int32_t> values) {
    std::string payload;
    for (const std::int32_t value : values) {
        PutLittleEndian(payload, static_cast<std::uint32_t>(value), 4);
    }
    Append(id, payload);
    return *this;
}

SnssWriter& SnssWriter::Navigation(std::int32_t tab, std::int32_t index, std::string_view url,
                                   std::string_view pageState) {
    std::string pickle;
    PutLittleEndian(pickle, static_cast<std::uint32_t>(tab), 4);
    PutLittleEndian(pickle, static_cast<std::uint32_t>(index), 4);
    PutPickled(pickle, url);
    PutLittleEndian(pickle, 0, 4);  // title: an empty UTF-16 string
    PutPickled(pickle, pageState);
    PutLittleEndian(pickle, 0, 4);  // transition type
    std::string payload;
    PutLittleEndian(payload, static_cast<std::uint32_t>(pickle.size()), 4);
    Append(6, payload + pickle);
    return *this;
}

void SnssWriter::Append(std::uint8_t id, std::string_view payload) {
    PutLittleEndian(bytes_, static_cast<std::uint32_t>(payload.size() + 1), 2);
    bytes_.push_back(static_cast<char>(id));
    bytes_.append(payload);
}

}  // namespace support
