// Conversions between white-balance gains and temperature and tint.
#include "platform/capture/white_balance.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(WhiteBalanceTest, TemperatureAndTintSurviveARoundTrip) {
    // The manual control's whole range: 3000 K to 8000 K, tint -150 to 150.
    for (float t : {3000.0f, 3200.0f, 4500.0f, 5500.0f, 6500.0f, 8000.0f})
        for (float tint : {-150.0f, -20.0f, 0.0f, 35.0f, 150.0f}) {
            auto g = whiteBalanceGainsForTemperatureAndTint({t, tint});
            EXPECT_FLOAT_EQ(std::min({g.redGain, g.greenGain, g.blueGain}), 1.0f);
            auto back = temperatureAndTintForWhiteBalanceGains(g);
            EXPECT_NEAR(back.temperature, t, t * 0.002) << t << " " << tint;
            EXPECT_NEAR(back.tint, tint, 0.5) << t << " " << tint;
        }
}

TEST(WhiteBalanceTest, WarmLightNeedsMoreBlueGainAndScalingDoesNotMatter) {
    auto warm = whiteBalanceGainsForTemperatureAndTint({3000, 0});
    auto cool = whiteBalanceGainsForTemperatureAndTint({7500, 0});
    EXPECT_GT(warm.blueGain / warm.redGain, cool.blueGain / cool.redGain);
    // The same neutral at any overall gain: gains (1,1,1) and (4,4,4) convert alike.
    auto a = temperatureAndTintForWhiteBalanceGains({1, 1, 1});
    auto b = temperatureAndTintForWhiteBalanceGains({4, 4, 4});
    EXPECT_FLOAT_EQ(a.temperature, b.temperature);
    EXPECT_FLOAT_EQ(a.tint, b.tint);
    EXPECT_TRUE(std::isnan(temperatureAndTintForWhiteBalanceGains({0, 1, 1}).temperature));
    EXPECT_TRUE(std::isnan(temperatureAndTintForWhiteBalanceGains({INFINITY, 1, 1}).tint));
    // Non-finite input to the forward conversion falls back to daylight instead of failing.
    auto g = whiteBalanceGainsForTemperatureAndTint({NAN, NAN});
    EXPECT_TRUE(std::isfinite(g.redGain) && std::isfinite(g.blueGain));
}
