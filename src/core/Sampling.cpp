#include "Sampling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace larkspan::sampling {

double LargeIntToDouble(std::uint32_t low, std::int32_t high)
{
    return static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
}

double LargeIntToDouble(std::int64_t value)
{
    const auto bits = static_cast<std::uint64_t>(value);
    return LargeIntToDouble(static_cast<std::uint32_t>(bits), static_cast<std::int32_t>(bits >> 32));
}

std::optional<int> ProcessorLoad(double idleDelta, double timeDelta, int processorCount)
{
    if (!(timeDelta > 0) || processorCount <= 0 || !std::isfinite(idleDelta) || !std::isfinite(timeDelta))
        return std::nullopt;
    // Extended precision where the platform has it, as the ratio is taken.
    const long double ratio = static_cast<long double>(idleDelta) / timeDelta;
    const long double load = 100 - ratio * 100 / processorCount + 0.5L;
    if (!std::isfinite(load))
        return std::nullopt;
    constexpr long double lowest = std::numeric_limits<int>::min();
    constexpr long double highest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(load, lowest, highest));
}

int PageFileUnits(std::uint64_t bytes)
{
    const std::uint64_t units = bytes / 1000024u;
    return units > static_cast<std::uint64_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                               : static_cast<int>(units);
}

std::string PowerText(std::uint8_t acLineStatus, std::uint8_t batteryLifePercent)
{
    if (acLineStatus != 0)
        return "AC-Power";
    return "Battery: " + std::to_string(batteryLifePercent) + "%";
}

}  // namespace larkspan::sampling
