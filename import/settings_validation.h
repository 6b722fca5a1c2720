#pragma once

// The checks that the settings dialogs run at Next (and the batch tool runs on its settings
// file): each returns the first entry it refuses, with the caption "Invalid Entry", or
// nothing when every entry passes. Only the entries the dialog asks for in the chosen
// configuration are checked.

#include "messages.h"

#include <optional>
#include <string_view>

struct TestSettings;
struct SpecimenInputs;

// Choice of Variable: detection limits, volumes, flow rate, molecular weight, equation.
std::optional<Refusal> ValidateChoiceOfVariable(const TestSettings &settings);

// Data Input: the three times against the data's last time, the size, weight and mass target.
// The diameter is the text of the chosen unit.
std::optional<Refusal> ValidateDataInput(const SpecimenInputs &specimen, double lastTime);

// Select Data Columns: one or two letters naming a column from A to IV, or nothing.
std::optional<Refusal> ValidateColumnLetters(std::string_view letters);
