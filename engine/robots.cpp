#include "engine/robots.h"

#include "engine/text.h"

namespace engine {

namespace {

constexpr std::size_t kMostRead = 500 * 1024;  // what RFC 9309 asks a crawler to read at least
constexpr ByteSet kBlanks(" \t\r");

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && kBlanks.Contains(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && kBlanks.Contains(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Whether `pattern` matches the start of `path`, or all of it when it ends in "$". Each "*"
// remembers where it stood, so a mismatch goes back to it once: linear for patterns without
// "*" and never exponential.
bool Matches(std::string_view pattern, std::string_view path) {
    const bool anchored = pattern.ends_with('$');
    if (anchored) {
        pattern.remove_suffix(1);
    }
    std::size_t p = 0, s = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (p < pattern.size() || (anchored && s < path.size())) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = s;
        } else if (p < pattern.size() && s < path.size() && pattern[p] == path[s]) {
            ++p;
            ++s;
        } else if (star != std::string_view::npos && resume < path.size()) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    return true;
}

struct Line {
    std::string key;  // lower case
    std::string_view value;
};

Line Split(std::string_view line) {
    line = Trimmed(line.substr(0, line.find('#')));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return {};
    }
    return {FoldCase(Trimmed(line.substr(0, colon))), Trimmed(line.substr(colon + 1))};
}

}  // namespace

RobotsRules RobotsRules::DisallowAll() {
    RobotsRules rules;
    rules.rules_.push_back({"/", false});
    return rules;
}

// Consecutive user-agent lines open a group; the rules after them belong to it. The groups
// for the agent win over those for "*", and groups of the same agent are merged.
RobotsRules RobotsRules::Parse(std::string_view text, std::string_view agent) {
    RobotsRules mine, anyone;
    bool forMe = false, forAnyone = false, inAgents = false, mineSeen = false;
    text = text.substr(0, kMostRead);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const Line line = Split(text.substr(start, end - start));
        start = end + 1;
        if (line.key == "user-agent") {
            if (!inAgents) {
                forMe = forAnyone = false;
            }
            inAgents = true;
            const std::string token = FoldCase(line.value.substr(0, line.value.find(' ')));
            forMe = forMe || token == FoldCase(agent);
            mineSeen = mineSeen || token == FoldCase(agent);
            forAnyone = forAnyone || token == "*";
        } else if (line.key == "allow" || line.key == "disallow") {
            inAgents = false;
            if (line.value.empty()) {
                continue;  // "Disallow:" with nothing allows everything
            }
            const Rule rule{std::string(line.value), line.key == "allow"};
            if (forMe) {
                mine.rules_.push_back(rule);
            }
            if (forAnyone) {
                anyone.rules_.push_back(rule);
            }
        }
    }
    return mineSeen ? mine : anyone;
}

bool RobotsRules::Allows(std::string_view path) const {
    if (path == "/robots.txt") {
        return true;
    }
    const Rule* decided = nullptr;
    for (const Rule& rule : rules_) {
        const bool longer = decided == nullptr || rule.pattern.size() > decided->pattern.size() ||
                            (rule.pattern.size() == decided->pattern.size() && rule.allow);
        if (longer && Matches(rule.pattern, path)) {
            decided = &rule;
        }
    }
    return decided == nullptr || decided->allow;
}

}  // namespace engine
