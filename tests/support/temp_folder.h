// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <string>

namespace support {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with its trailing "/".
    const std::string& path() const { return path_; }

    // Writes `bytes` to the folder + `name` (folders on the way are made) and returns the path.
    std::string Write(const std::string& name, const std::string& bytes) const;

    // The bytes of the folder + `name`; "" when it can't be read.
    std::string Read(const std::string& name) const;

private:
    std::string path_;
};

}  // namespace support
