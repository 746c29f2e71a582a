// Which addresses a fetched page or style sheet will ask SaveFile for, found by running the
// same scanner and rewriters on a copy, so that a fetcher can get them all at once while the
// run still asks for them one by one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/capture.h"
#include "engine/resources.h"

namespace engine {

struct PlannedFetch {
    std::string address;
    bool page = false;  // a link to follow, not a resource
};

// In the order the rewriting asks, each address once (letter case ignored); data: addresses
// and ones without http or https left out. `address` is where the document came from, after
// redirects; `headers` its response's, which decide whether it is a page or a style sheet
// (anything else names nothing). With `followLinks`, a page's links to follow are among them.
std::vector<PlannedFetch> PlanFetches(std::string_view address, std::string_view headers,
                                      std::string_view body, Capture capture,
                                      bool followLinks = false);

}  // namespace engine
