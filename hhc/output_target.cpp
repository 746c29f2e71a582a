// Read-only means no write permission for anyone: root may write such a file, but replacing
// what its owner protected is not what anyone asked for.
#include "hhc/output_target.h"

#include "hhc/error.h"

namespace hhc {

namespace fs = std::filesystem;

fs::path OutputTarget(const fs::path& requested) {
    std::error_code ec;
    const fs::file_status self = fs::symlink_status(requested, ec);
    if (!fs::exists(self)) {
        return requested;
    }
    fs::path target = requested;
    if (fs::is_symlink(self)) {
        target = fs::canonical(requested, ec);
        if (ec) {
            throw Error(requested.string() + " is a link to nothing; nothing written");
        }
    }
    const fs::file_status status = fs::status(target, ec);
    if (!fs::is_regular_file(status)) {
        throw Error(requested.string() + " is not a regular file; nothing written");
    }
    constexpr fs::perms kWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & kWrite) == fs::perms::none) {
        throw Error(requested.string() + " is read-only; nothing written");
    }
    return target;
}

}  // namespace hhc
