// What a run that succeeded could not store, said at its end as wget and curl users expect:
// one line of counts, then the first addresses with their causes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/ports.h"

namespace engine {

struct LeftOut {
    std::string address;
    FetchFailure failure;
};

// "" when nothing was left out. Otherwise "3 of 48 resources were left out: 2 answered 404,
// 1 timed out", then up to 10 lines "  ADDRESS: CAUSE", then "  ..." when there were more.
// The kinds go by their counts, the largest first; text from servers is made visible.
std::string LeftOutSummary(const std::vector<LeftOut>& leftOut, std::size_t resources);

}  // namespace engine
