// The error a call ends a run with, as "number description"; "" when it ends none.
#pragma once

#include <string>

#include "engine/run_error.h"

namespace support {

template <typename Call>
std::string RunErrorText(Call call) {
    try {
        call();
    } catch (const engine::RunError& error) {
        return std::to_string(error.number) + " " + error.description;
    }
    return "";
}

}  // namespace support
