#include "import_checks.h"

#include "experiment_record.h"
#include "text_number.h"

#include <cmath>
#include <string>

namespace {

bool Readable(const std::string &text)
{
    const double number = LeadingNumber(text);
    return !text.empty() && text != "0" && number != 0 && std::isfinite(number);
}

} // namespace

std::optional<Refusal> CheckVolumeAndFlowRate(const TestSettings &settings)
{
    const bool open = IsOpenLoop(settings);
    if ((!open || settings.ResponseFormat == CalibratedAnalyzerOutput) && !Readable(settings.TotalVolume)) {
        return Refusal {"Volume for Test Material Error", "Cannot read the Volume given.", true};
    }
    if (open && !Readable(settings.FlowRate)) {
        return Refusal {"Flow Rate for Test Material Error", "Cannot read the Flow Rate given."};
    }
    return std::nullopt;
}
