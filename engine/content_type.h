// The media type of a response, read from its Content-Type fields as browsers read it.
#pragma once

#include <string>
#include <string_view>

namespace engine {

// The essence ("type/subtype", lower case) of the last value that parses as a media type, over
// every Content-Type field of `headers` joined and split at commas outside quoted strings;
// "" when there is none. So "text/html" followed by "image/gif" is "image/gif", as a browser
// takes it, and a value that does not parse (or is "*/*") leaves the one before it.
std::string ContentTypeOf(std::string_view headers);

}  // namespace engine
