// What a host's robots.txt lets a crawler fetch (RFC 9309). The run asks it only for the pages
// it follows beyond the start page, never for the start page or a resource.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

class RobotsRules {
public:
    // Nothing disallowed: what a missing file (a 4xx answer) means.
    RobotsRules() = default;

    // Everything disallowed: what a file that could not be had for the server's or the
    // network's fault means.
    static RobotsRules DisallowAll();

    // The rules of the groups for `agent` (a product token, letter case ignored), else those
    // for "*", read from the first 500 KiB of `text`. Lines that are no rule are passed over.
    static RobotsRules Parse(std::string_view text, std::string_view agent);

    // Whether `path` (with its query, as requested) may be fetched: the longest pattern that
    // matches decides, "allow" winning a tie; "*" matches any run of characters and a final
    // "$" the end.
    bool Allows(std::string_view path) const;

private:
    struct Rule {
        std::string pattern;
        bool allow = false;
    };

    std::vector<Rule> rules_;
};

}  // namespace engine
