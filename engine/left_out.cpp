#include "engine/left_out.h"

#include <algorithm>
#include <utility>

#include "common/visible_text.h"

namespace engine {

namespace {

constexpr std::size_t kMostListed = 10;

}  // namespace

std::string LeftOutSummary(const std::vector<LeftOut>& leftOut, std::size_t resources) {
    if (leftOut.empty()) {
        return "";
    }
    std::vector<std::pair<std::string, std::size_t>> kinds;  // in the order first met
    for (const LeftOut& one : leftOut) {
        const auto kind = std::find_if(kinds.begin(), kinds.end(), [&one](const auto& k) {
            return k.first == one.failure.kind;
        });
        if (kind == kinds.end()) {
            kinds.emplace_back(one.failure.kind, 1);
        } else {
            ++kind->second;
        }
    }
    std::stable_sort(kinds.begin(), kinds.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text = std::to_string(leftOut.size()) + " of " + std::to_string(resources) +
                       " resources " + (leftOut.size() == 1 ? "was" : "were") + " left out: ";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(kinds[i].second) + " " + kinds[i].first;
    }
    for (std::size_t i = 0; i < std::min(leftOut.size(), kMostListed); ++i) {
        text += "\n  " + leftOut[i].address + ": " + leftOut[i].failure.cause;
    }
    if (leftOut.size() > kMostListed) {
        text += "\n  ...";
    }
    return common::VisibleText(text);
}

}  // namespace engine
