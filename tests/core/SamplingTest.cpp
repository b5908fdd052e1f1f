#include "core/Sampling.h"

#include <gtest/gtest.h>

#include <limits>

using namespace larkspan::sampling;

TEST(Sampling, LargeIntegersFromTheirHalves)
{
    EXPECT_EQ(LargeIntToDouble(0u, 1), 4294967296.0);
    EXPECT_EQ(LargeIntToDouble(0xFFFFFFFFu, 0), 4294967295.0);
    EXPECT_EQ(LargeIntToDouble(0u, -1), -4294967296.0);
    EXPECT_EQ(LargeIntToDouble(static_cast<std::int64_t>(123456789012345)), 123456789012345.0);
    EXPECT_EQ(LargeIntToDouble(static_cast<std::int64_t>(-5)), -5.0);
}

TEST(Sampling, LoadIsRoundedHalfUpAndNotClamped)
{
    EXPECT_EQ(ProcessorLoad(5000000, 10000000, 1), 50);
    EXPECT_EQ(ProcessorLoad(10000000, 10000000, 2), 50);   // idle summed over two processors
    EXPECT_EQ(ProcessorLoad(995, 1000, 1), 1);             // 0.5 rounds up
    EXPECT_EQ(ProcessorLoad(996, 1000, 1), 0);             // 0.4
    EXPECT_EQ(ProcessorLoad(0, 1000, 4), 100);
    EXPECT_EQ(ProcessorLoad(1200, 1000, 1), -19);          // more idle than time: the gauge clamps
    EXPECT_EQ(ProcessorLoad(-100, 1000, 1), 110);
}

TEST(Sampling, NoLoadWithoutTimeOrProcessorsAndHugeLoadsSaturate)
{
    EXPECT_EQ(ProcessorLoad(100, 0, 2), std::nullopt);  // the same clock reading twice
    EXPECT_EQ(ProcessorLoad(0, 0, 2), std::nullopt);    // 0 / 0
    EXPECT_EQ(ProcessorLoad(100, -10, 2), std::nullopt);
    EXPECT_EQ(ProcessorLoad(500, 1000, 0), std::nullopt);
    EXPECT_EQ(ProcessorLoad(-1e300, 1e-300, 1), std::numeric_limits<int>::max());
    EXPECT_EQ(ProcessorLoad(1e300, 1e-300, 1), std::numeric_limits<int>::min());
}

TEST(Sampling, PageFileUnitsAndPowerTexts)
{
    EXPECT_EQ(PageFileUnits(1000023), 0);
    EXPECT_EQ(PageFileUnits(1000024), 1);
    EXPECT_EQ(PageFileUnits(8ull * 1024 * 1024 * 1024), 8589);
    EXPECT_EQ(PowerText(1, 100), "AC-Power");
    EXPECT_EQ(PowerText(255, 255), "AC-Power");
    EXPECT_EQ(PowerText(0, 57), "Battery: 57%");
    EXPECT_EQ(PowerText(0, 255), "Battery: 255%");
}
