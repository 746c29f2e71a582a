// What a reference found in a document becomes in the stored copy; the rewriters of style
// sheets and srcset values take one, so they need not know how resources are stored.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace engine {

using ReferenceMap = std::function<std::string(std::string_view)>;

}  // namespace engine
