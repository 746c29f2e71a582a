// The help project "chmkorva.hhp" that the compiler reads.
#pragma once

#include <string>
#include <string_view>

#include "engine/resources.h"

namespace engine {

// What a complete capture adds: full-text search, and the contents and index files when there
// are any ("" when not), shown in the navigation pane's tabs.
struct HelpNavigation {
    std::string contentsFile;
    std::string indexFile;
};

// The project text: the one window "KORVA" showing `startPage`, then the start page and every
// stored resource under [FILES]. Every line ends in CR LF, the last one too. Without
// `navigation` it is the original project, byte for byte.
std::string ProjectText(std::string_view startPage, const ResourceTable& resources,
                        const HelpNavigation* navigation = nullptr);

}  // namespace engine
