#include "math/matrix.hpp"
#include "math/quaternion.hpp"

#include <gtest/gtest.h>

#include <random>

using namespace Vorn;

namespace
{
	Quaternion AxisDegrees(const Vector& axis, float degrees) { return Quaternion(axis, Angle::FromDegrees(degrees)); }

	void ExpectEulerDegrees(const EulerAngles& actual, float x, float y, float z)
	{
		EXPECT_NEAR(actual.X.AsDegrees(), x, 1e-3f);
		EXPECT_NEAR(actual.Y.AsDegrees(), y, 1e-3f);
		EXPECT_NEAR(actual.Z.AsDegrees(), z, 1e-3f);
	}

	class QuaternionRandomTest : public ::testing::Test
	{
	protected:
		float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(Engine); }
		Vector Point() { return Vector(Uniform(-10.0f, 10.0f), Uniform(-10.0f, 10.0f), Uniform(-10.0f, 10.0f)); }
		Quaternion Rotation()
		{
			return Quaternion(Point() + Vector(0.0f, 0.0f, 0.01f), Angle::FromDegrees(Uniform(-180.0f, 180.0f)));
		}

	private:
		std::mt19937 Engine{2018};
	};
} // namespace

TEST(QuaternionTest, DefaultIsIdentity)
{
	const Quaternion identity;
	EXPECT_EQ(identity.w, 1.0f);
	EXPECT_EQ(identity * Vector(1.0f, 2.0f, 3.0f), Vector(1.0f, 2.0f, 3.0f));
	EXPECT_EQ(identity.ToRotationMatrix(), Matrix::IDENTITY);
}

TEST(QuaternionTest, AxisAngleRotatesByRightHandRule)
{
	struct Case
	{
		const char* name;
		Vector axis;
		float degrees;
		Vector input;
		Vector expected;
	};
	const Case cases[] = {
	    {"X about Y", Vector::UNIT_Y, 90.0f, Vector::UNIT_X, -Vector::UNIT_Z},
	    {"Y about Z", Vector::UNIT_Z, 90.0f, Vector::UNIT_Y, -Vector::UNIT_X},
	    {"X about Z", Vector::UNIT_Z, 90.0f, Vector::UNIT_X, Vector::UNIT_Y},
	    {"Y about X", Vector::UNIT_X, 90.0f, Vector::UNIT_Y, Vector::UNIT_Z},
	    {"forward about Y", Vector::UNIT_Y, 90.0f, Vector(0.0f, 0.0f, -1.0f), Vector(-1.0f, 0.0f, 0.0f)},
	    {"unnormalised axis", Vector(0.0f, 5.0f, 0.0f), 90.0f, Vector::UNIT_X, -Vector::UNIT_Z},
	    {"half turn", Vector::UNIT_Y, 180.0f, Vector(1.0f, 2.0f, 3.0f), Vector(-1.0f, 2.0f, -3.0f)},
	    {"negative angle", Vector::UNIT_Y, -90.0f, Vector::UNIT_X, Vector::UNIT_Z},
	    {"diagonal axis third turn", Vector::ONE, 120.0f, Vector::UNIT_X, Vector::UNIT_Y},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.name);
		const Vector rotated = AxisDegrees(c.axis, c.degrees) * c.input;
		EXPECT_EQ(rotated, c.expected);
		EXPECT_EQ(rotated.w, 1.0f);
	}
}

TEST(QuaternionTest, ProductAppliesRightOperandFirst)
{
	const Quaternion aboutX = AxisDegrees(Vector::UNIT_X, 90.0f);
	const Quaternion aboutY = AxisDegrees(Vector::UNIT_Y, 90.0f);
	// Y turns X to -Z, then X turns -Z to +Y.
	EXPECT_EQ((aboutX * aboutY) * Vector::UNIT_X, Vector::UNIT_Y);
	// X leaves X alone, then Y turns it to -Z.
	EXPECT_EQ((aboutY * aboutX) * Vector::UNIT_X, -Vector::UNIT_Z);

	Quaternion accumulated = aboutX;
	accumulated *= aboutY;
	EXPECT_EQ(accumulated, aboutX * aboutY);
	EXPECT_EQ(AxisDegrees(Vector::UNIT_Z, 30.0f) * AxisDegrees(Vector::UNIT_Z, 60.0f),
	          AxisDegrees(Vector::UNIT_Z, 90.0f));
}

TEST(QuaternionTest, InverseUndoesRotation)
{
	const Quaternion rotation = AxisDegrees(Vector(1.0f, -2.0f, 0.5f), 75.0f);
	EXPECT_EQ(rotation * rotation.GetInversed(), Quaternion());
	EXPECT_EQ(rotation.GetInversed() * (rotation * Vector(3.0f, 4.0f, 5.0f)), Vector(3.0f, 4.0f, 5.0f));
	EXPECT_EQ(rotation.GetConjugated(), rotation.GetInversed());
	const Quaternion scaled(0.0f, 0.0f, 0.0f, 2.0f);
	EXPECT_EQ(scaled * scaled.GetInversed(), Quaternion());
}

TEST(QuaternionTest, NormalizeMakesUnitLengthAndTurnsZeroIntoIdentity)
{
	Quaternion quaternion(1.0f, 2.0f, 2.0f, 4.0f);
	quaternion.Normalize();
	EXPECT_NEAR(quaternion.Length(), 1.0f, 1e-6f);
	EXPECT_EQ(quaternion, Quaternion(0.2f, 0.4f, 0.4f, 0.8f));

	Quaternion zero(0.0f, 0.0f, 0.0f, 0.0f);
	zero.Normalize();
	EXPECT_EQ(zero, Quaternion());
}

TEST(QuaternionTest, NegatedQuaternionEqualsSameRotation)
{
	const Quaternion rotation = AxisDegrees(Vector::UNIT_Z, 40.0f);
	EXPECT_EQ(rotation, Quaternion(-rotation.x, -rotation.y, -rotation.z, -rotation.w));
	EXPECT_NE(rotation, AxisDegrees(Vector::UNIT_Z, 41.0f));
	EXPECT_NE(rotation, rotation.GetConjugated());
	EXPECT_NE(AxisDegrees(Vector::UNIT_X, 0.1f), Quaternion());
}

TEST(QuaternionTest, SlerpHitsEndpointsAndHalvesTheAngle)
{
	const Quaternion from = AxisDegrees(Vector::UNIT_Z, 10.0f);
	const Quaternion to = AxisDegrees(Vector::UNIT_Z, 110.0f);
	EXPECT_EQ(Quaternion::Slerp(from, to, 0.0f), from);
	EXPECT_EQ(Quaternion::Slerp(from, to, 1.0f), to);
	EXPECT_EQ(Quaternion::Slerp(from, to, 0.5f), AxisDegrees(Vector::UNIT_Z, 60.0f));
	EXPECT_EQ(Quaternion::Slerp(from, to, 0.25f), AxisDegrees(Vector::UNIT_Z, 35.0f));
}

TEST(QuaternionTest, SlerpTakesShortestPath)
{
	// -170 and 170 degrees are 20 degrees apart through the half turn; the long way would pass the identity.
	const Quaternion from = AxisDegrees(Vector::UNIT_Y, -170.0f);
	const Quaternion to = AxisDegrees(Vector::UNIT_Y, 170.0f);
	EXPECT_EQ(Quaternion::Slerp(from, to, 0.5f), AxisDegrees(Vector::UNIT_Y, 180.0f));
	EXPECT_EQ(Quaternion::Slerp(from, to, 0.25f), AxisDegrees(Vector::UNIT_Y, -175.0f));
	const Quaternion toNegated(-to.x, -to.y, -to.z, -to.w);
	EXPECT_EQ(Quaternion::Slerp(from, toNegated, 0.5f), AxisDegrees(Vector::UNIT_Y, 180.0f));
}

TEST(QuaternionTest, SlerpOfNearlyParallelInputsStaysNormalisedBetweenThem)
{
	const Quaternion from = AxisDegrees(Vector::UNIT_X, 20.0f);
	const Quaternion to = AxisDegrees(Vector::UNIT_X, 20.5f);
	const Quaternion middle = Quaternion::Slerp(from, to, 0.5f);
	EXPECT_NEAR(middle.Length(), 1.0f, 1e-6f);
	EXPECT_TRUE(middle.Equals(AxisDegrees(Vector::UNIT_X, 20.25f), 1e-5f)) << middle;
	// Identical inputs have no arc at all (sin(angle) = 0).
	EXPECT_EQ(Quaternion::Slerp(Quaternion(), Quaternion(), 0.3f), Quaternion());
}

TEST(QuaternionTest, SingleAxisRotationConvertsToThatEulerAngleOnly)
{
	struct Case
	{
		Vector axis;
		float degrees;
		float x, y, z;
	};
	const Case cases[] = {
	    {Vector::UNIT_X, 30.0f, 30.0f, 0.0f, 0.0f},   {Vector::UNIT_X, -179.0f, -179.0f, 0.0f, 0.0f},
	    {Vector::UNIT_Y, -60.0f, 0.0f, -60.0f, 0.0f}, {Vector::UNIT_Y, 89.0f, 0.0f, 89.0f, 0.0f},
	    {Vector::UNIT_Z, 120.0f, 0.0f, 0.0f, 120.0f}, {Vector::UNIT_Z, -170.0f, 0.0f, 0.0f, -170.0f},
	    {Vector::UNIT_Z, 0.0f, 0.0f, 0.0f, 0.0f},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.axis);
		SCOPED_TRACE(c.degrees);
		const Quaternion rotation = AxisDegrees(c.axis, c.degrees);
		ExpectEulerDegrees(rotation.ToEulerAngles(), c.x, c.y, c.z);
		const EulerAngles angles(Angle::FromDegrees(c.x), Angle::FromDegrees(c.y), Angle::FromDegrees(c.z));
		EXPECT_EQ(Quaternion(angles), rotation);
	}
}

TEST(QuaternionTest, EulerAnglesApplyXThenYThenZ)
{
	const EulerAngles angles(Angle::FromDegrees(90.0f), Angle::FromDegrees(90.0f), Angle::FromDegrees(0.0f));
	// X turns Y to Z, then Y turns Z to X; the opposite order would leave Z.
	EXPECT_EQ(Quaternion(angles) * Vector::UNIT_Y, Vector::UNIT_X);

	const EulerAngles mixed(Angle::FromDegrees(20.0f), Angle::FromDegrees(-35.0f), Angle::FromDegrees(50.0f));
	EXPECT_EQ(Quaternion(mixed), AxisDegrees(Vector::UNIT_Z, 50.0f) * AxisDegrees(Vector::UNIT_Y, -35.0f) *
	                                 AxisDegrees(Vector::UNIT_X, 20.0f));
}

TEST(QuaternionTest, EulerRoundTripAwayFromGimbalLock)
{
	struct Case
	{
		float x, y, z;
	};
	const Case cases[] = {{10.0f, 20.0f, 30.0f}, {-170.0f, 45.0f, 100.0f}, {90.0f, -80.0f, -90.0f},
	                      {0.0f, 60.0f, 179.0f}, {135.0f, 0.0f, -45.0f},   {-5.0f, -5.0f, -5.0f}};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << c.x << " " << c.y << " " << c.z);
		const EulerAngles angles(Angle::FromDegrees(c.x), Angle::FromDegrees(c.y), Angle::FromDegrees(c.z));
		ExpectEulerDegrees(Quaternion(angles).ToEulerAngles(), c.x, c.y, c.z);
	}
}

TEST(QuaternionTest, EulerAtGimbalLockKeepsRotationWithZeroX)
{
	for (const float y : {90.0f, -90.0f})
	{
		SCOPED_TRACE(y);
		const EulerAngles angles(Angle::FromDegrees(25.0f), Angle::FromDegrees(y), Angle::FromDegrees(40.0f));
		const Quaternion rotation(angles);
		const EulerAngles converted = rotation.ToEulerAngles();
		EXPECT_EQ(converted.X.AsRadians(), 0.0f);
		EXPECT_NEAR(converted.Y.AsDegrees(), y, 0.5f);
		EXPECT_TRUE(Quaternion(converted).Equals(rotation, 1e-3f));
	}
}

TEST_F(QuaternionRandomTest, RotationMatrixAgreesWithRotatingVectors)
{
	for (int index = 0; index < 50; ++index)
	{
		const Quaternion rotation = Rotation();
		const Matrix matrix = rotation.ToRotationMatrix();
		const Vector point = Point();
		EXPECT_TRUE((matrix * point).Equals(rotation * point, 1e-4f)) << rotation << " " << point;
		EXPECT_NEAR(matrix.GetDeterminant(), 1.0f, 1e-5f);
	}
}

TEST_F(QuaternionRandomTest, RotationMatrixConvertsBackToSameQuaternion)
{
	// Half turns about each axis exercise every branch of the conversion (trace -1, one dominant axis).
	Quaternion rotations[54] = {AxisDegrees(Vector::UNIT_X, 180.0f), AxisDegrees(Vector::UNIT_Y, 180.0f),
	                            AxisDegrees(Vector::UNIT_Z, 180.0f), Quaternion()};
	for (int index = 4; index < 54; ++index)
	{
		rotations[index] = Rotation();
	}
	for (const Quaternion& rotation : rotations)
	{
		const Quaternion converted = Quaternion::FromRotationMatrix(rotation.ToRotationMatrix());
		EXPECT_TRUE(converted.Equals(rotation, 1e-5f)) << rotation << " became " << converted;
	}
}
