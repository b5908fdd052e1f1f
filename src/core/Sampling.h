// Arithmetic of the system monitor's sampler.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace larkspan::sampling {

// A 64-bit counter from its halves: the high half signed, times 2^32, plus
// the low half unsigned, rounded to double precision.
double LargeIntToDouble(std::uint32_t low, std::int32_t high);
double LargeIntToDouble(std::int64_t value);

// The share of non-idle time over the interval, averaged over the
// processors, in whole percent rounded half up (truncating after adding
// one half). Not clamped to 0..100: the gauge clamps. Nothing when no time
// has passed or no processor is counted, where the formula has no finite
// value; a finite value beyond the integers saturates.
std::optional<int> ProcessorLoad(double idleDelta, double timeDelta, int processorCount);

// The page-file figures in the gauge's units of 1,000,024 bytes.
int PageFileUnits(std::uint64_t bytes);

// "AC-Power" on mains or unknown status (anything but 0), else the battery
// charge as reported, 255 included: "Battery: 255%".
std::string PowerText(std::uint8_t acLineStatus, std::uint8_t batteryLifePercent);

}  // namespace larkspan::sampling
