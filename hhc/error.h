// The one exception of the help compiler: container and I/O failures. main prints its text.
#pragma once

#include <stdexcept>

namespace hhc {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace hhc
