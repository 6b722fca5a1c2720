#include "output_paths.h"

#include "safe_file.h"

#include <filesystem>

namespace {

// Outputs that do not exist yet are the same file when their paths lead to the same place.
bool SameOutput(const std::string &first, const std::string &second)
{
    std::error_code firstError;
    std::error_code secondError;
    const auto a = std::filesystem::weakly_canonical(first, firstError);
    const auto b = std::filesystem::weakly_canonical(second, secondError);
    return SafeFile::SameFile(first, second) || (!firstError && !secondError && a == b);
}

std::string Refusal(const NamedPath &output, const NamedPath &other)
{
    return output.Name + " " + output.Path + " names the same file as " + other.Name
        + "; nothing was read or written";
}

} // namespace

std::optional<std::string> OutputNamingAnotherFile(
    const std::vector<NamedPath> &inputs, const std::vector<NamedPath> &outputs)
{
    for (auto output = outputs.begin(); output != outputs.end(); ++output) {
        for (const NamedPath &input : inputs) {
            if (SafeFile::SameFile(output->Path, input.Path)) {
                return Refusal(*output, input);
            }
        }
        for (auto earlier = outputs.begin(); earlier != output; ++earlier) {
            if (SameOutput(output->Path, earlier->Path)) {
                return Refusal(*output, *earlier);
            }
        }
    }
    return std::nullopt;
}
