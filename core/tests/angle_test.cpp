#include "math/angle.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(AngleTest, DegreesAndRadiansConvertBothWays)
{
	struct Case
	{
		float degrees;
		float radians;
	};
	const Case cases[] = {{0.0f, 0.0f}, {90.0f, PI / 2.0f}, {180.0f, PI}, {-45.0f, -PI / 4.0f}, {720.0f, 4.0f * PI}};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.degrees);
		EXPECT_NEAR(Angle::FromDegrees(c.degrees).AsRadians(), c.radians, 1e-5f);
		EXPECT_NEAR(Angle::FromRadians(c.radians).AsDegrees(), c.degrees, 1e-3f);
	}
}

TEST(AngleTest, ArithmeticKeepsUnits)
{
	const Angle thirty = Angle::FromDegrees(30.0f);
	const Angle sixty = Angle::FromDegrees(60.0f);
	EXPECT_NEAR((thirty + sixty).AsDegrees(), 90.0f, 1e-4f);
	EXPECT_NEAR((thirty - sixty).AsDegrees(), -30.0f, 1e-4f);
	EXPECT_NEAR((-thirty).AsDegrees(), -30.0f, 1e-4f);
	EXPECT_NEAR((thirty * 3.0f).AsDegrees(), 90.0f, 1e-4f);
	EXPECT_NEAR((2.0f * thirty).AsDegrees(), 60.0f, 1e-4f);
	EXPECT_NEAR((sixty / 4.0f).AsDegrees(), 15.0f, 1e-4f);
	EXPECT_NEAR(sixty / thirty, 2.0f, 1e-6f);

	Angle accumulated = thirty;
	accumulated += sixty;
	accumulated -= thirty;
	accumulated *= 2.0f;
	accumulated /= 4.0f;
	EXPECT_NEAR(accumulated.AsDegrees(), 30.0f, 1e-4f);
}

TEST(AngleTest, ComparisonsOrderBySize)
{
	const Angle small = Angle::FromDegrees(-10.0f);
	const Angle large = Angle::FromDegrees(10.0f);
	EXPECT_TRUE(small < large);
	EXPECT_TRUE(small <= large);
	EXPECT_TRUE(large > small);
	EXPECT_TRUE(large >= small);
	EXPECT_FALSE(large < small);
	EXPECT_TRUE(small != large);
	EXPECT_TRUE(Angle::FromRadians(PI) == Angle::FromDegrees(180.0f));
	EXPECT_TRUE(Angle() == Angle::FromRadians(0.0f));
}
