// A deterministic HTML page of a given size with a realistic mix of tags: paragraphs, links,
// images and scripts drawn from about 150 addresses, comments and inline scripts.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

// About one tag per 50 bytes; the same size always gives the same page.
std::string GeneratePage(std::size_t bytes);

}  // namespace bench
