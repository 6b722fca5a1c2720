#pragma once

// After the three settings dialogs, before the analysis: the total volume and the flow
// rate, which every permeation quantity is multiplied by and which must therefore read as
// a number other than 0.

#include "messages.h"

#include <optional>

struct TestSettings;

// The total volume for a closed loop and for a calibrated analyzer output (whatever the
// loop), then the flow rate for an open loop; the first that fails.
std::optional<Refusal> CheckVolumeAndFlowRate(const TestSettings &settings);
