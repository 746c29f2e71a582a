// The one error that ends a conversion run: shown to the user as its number and description.
#pragma once

#include <string>

namespace engine {

struct RunError {
    int number;
    std::string description;
};

}  // namespace engine
