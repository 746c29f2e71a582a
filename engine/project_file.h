// The help project "chmkorva.hhp" that the compiler reads.
#pragma once

#include <string>
#include <string_view>

#include "engine/resources.h"

namespace engine {

// The project text: the one window "KORVA" showing `startPage`, then the start page and every
// stored resource under [FILES]. Every line ends in CR LF, the last one too.
std::string ProjectText(std::string_view startPage, const ResourceTable& resources);

}  // namespace engine
