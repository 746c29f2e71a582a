// The About box's version record, from the project's one version (korva/version.h).
#pragma once

#include "korva/version.h"

namespace about {

struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

inline constexpr ProgramVersion kProgramVersion{korva::kVersionMajor, korva::kVersionMinor,
                                                korva::kVersionPatch};

}  // namespace about
