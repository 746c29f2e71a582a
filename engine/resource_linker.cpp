#include "engine/resource_linker.h"

#include "engine/local_names.h"
#include "engine/text.h"
#include "engine/url.h"

namespace engine {

ResourceLinker::ResourceLinker(std::string_view base, std::string_view localPath, Capture capture,
                               ResourceSaver& saver)
    : base_(base), localPath_(localPath), capture_(capture), saver_(saver) {}

std::string ResourceLinker::Localize(std::string_view ref) {
    std::string resolved = CompileUrl(base_, ref);
    if (capture_ == Capture::Complete && StartsWithNoCase(resolved, 1, "data:")) {
        return std::string(ref);
    }
    // A fragment names a place in the resource, not another resource.
    const auto [address, fragment] = SplitFragment(resolved);
    const std::string name = saver_.SaveFile(std::string(address));
    if (name.empty()) {
        return capture_ == Capture::Complete ? resolved : std::string();
    }
    return RelativeReference(localPath_, name) + std::string(fragment);
}

}  // namespace engine
