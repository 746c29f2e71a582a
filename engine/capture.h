// How much of a page a run takes along, and where it puts it.
#pragma once

namespace engine {

// Complete: style sheets read for their references, srcset, IFRAME and media sources, fonts,
// each file at its address's path under a folder for its host, and what could not be stored
// left at its address. Classic: the original behaviour, "chm<N>" names in one folder and
// emptied values for what was not stored.
enum class Capture { Complete, Classic };

}  // namespace engine
