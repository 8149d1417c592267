#include "rendering/postprocesssettingscomponent.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(PostprocessSettingsComponentTest, EveryFieldStartsAtItsDefault)
{
	const PostprocessSettingsComponent settings;
	EXPECT_EQ(settings.UseCashetes, 0);
	const struct
	{
		const char* Name;
		float Actual;
		float Expected;
	} fields[] = {
	    {"DistortionPower", settings.DistortionPower, 0.05f},
	    {"ColorTempValue", settings.ColorTempValue, 7500.0f},
	    {"ColorTempLuminancePreservation", settings.ColorTempLuminancePreservation, 0.75f},
	    {"SaturationPower", settings.SaturationPower, 1.0f},
	    {"GrainPower", settings.GrainPower, 0.05f},
	    {"StripesPower", settings.StripesPower, 0.15f},
	    {"Exposure", settings.Exposure, 1.0f},
	    {"DOFPoint", settings.DOFPoint, 1000.0f},
	    {"DOFRange", settings.DOFRange, 800.0f},
	    {"DOFSize", settings.DOFSize, 0.2f},
	};
	for (const auto& field : fields)
		EXPECT_EQ(field.Actual, field.Expected) << field.Name;
}
