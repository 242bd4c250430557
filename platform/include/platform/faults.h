// The fault switch of the tests lives in the file library (common/faults.h), which every
// file function of this layer obeys; its variable is named here for the tests written
// against this layer.
#pragma once

#include "common/faults.h"

namespace platform {

inline constexpr const char* kFaultsVariable = common::faults::kVariable;

}  // namespace platform
