#include "tests/support/stand_in_chm.h"

#include <fstream>
#include <iterator>

namespace support {

std::map<std::string, std::string> ReadStandInChm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::map<std::string, std::string> files;
    for (std::string name, size; std::getline(in, name) && std::getline(in, size);) {
        std::string bytes(std::stoul(size), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        files[name] = bytes;
    }
    return files;
}

}  // namespace support
