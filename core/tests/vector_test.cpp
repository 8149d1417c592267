#include "math/vector.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(VectorTest, DefaultIsOriginPoint)
{
	const Vector vector;
	EXPECT_EQ(vector.x, 0.0f);
	EXPECT_EQ(vector.y, 0.0f);
	EXPECT_EQ(vector.z, 0.0f);
	EXPECT_EQ(vector.w, 1.0f);
	EXPECT_EQ(Vector(1.0f, 2.0f, 3.0f).w, 1.0f);
}

TEST(VectorTest, ConstantsHaveUnitW)
{
	struct Case
	{
		const char* name;
		Vector actual;
		float x, y, z;
	};
	const Case cases[] = {{"ZERO", Vector::ZERO, 0, 0, 0},
	                      {"ONE", Vector::ONE, 1, 1, 1},
	                      {"UNIT_X", Vector::UNIT_X, 1, 0, 0},
	                      {"UNIT_Y", Vector::UNIT_Y, 0, 1, 0},
	                      {"UNIT_Z", Vector::UNIT_Z, 0, 0, 1}};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.name);
		EXPECT_EQ(c.actual.x, c.x);
		EXPECT_EQ(c.actual.y, c.y);
		EXPECT_EQ(c.actual.z, c.z);
		EXPECT_EQ(c.actual.w, 1.0f);
	}
}

TEST(VectorTest, ArithmeticWorksOnXYZAndGivesUnitW)
{
	const Vector a(1.0f, 2.0f, 3.0f, 0.0f);
	const Vector b(4.0f, -5.0f, 6.0f, 7.0f);
	Vector compound = a;
	compound += b;
	struct Case
	{
		const char* name;
		Vector actual;
		Vector expected;
	};
	const Case cases[] = {
	    {"sum", a + b, Vector(5.0f, -3.0f, 9.0f)},
	    {"difference", a - b, Vector(-3.0f, 7.0f, -3.0f)},
	    {"negation", -a, Vector(-1.0f, -2.0f, -3.0f)},
	    {"scaled", a * 2.0f, Vector(2.0f, 4.0f, 6.0f)},
	    {"scaled from left", 2.0f * a, Vector(2.0f, 4.0f, 6.0f)},
	    {"divided", a / 2.0f, Vector(0.5f, 1.0f, 1.5f)},
	    {"component-wise", a * b, Vector(4.0f, -10.0f, 18.0f)},
	    {"compound sum", compound, Vector(5.0f, -3.0f, 9.0f)},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.name);
		EXPECT_EQ(c.actual, c.expected);
		EXPECT_EQ(c.actual.w, 1.0f);
	}
}

TEST(VectorTest, CrossFollowsRightHandRule)
{
	EXPECT_EQ(Vector::UNIT_X.Cross(Vector::UNIT_Y), Vector::UNIT_Z);
	EXPECT_EQ(Vector::UNIT_Y.Cross(Vector::UNIT_Z), Vector::UNIT_X);
	EXPECT_EQ(Vector::UNIT_Z.Cross(Vector::UNIT_X), Vector::UNIT_Y);
	EXPECT_EQ(Vector::UNIT_Y.Cross(Vector::UNIT_X), -Vector::UNIT_Z);
	EXPECT_FLOAT_EQ(Vector(1.0f, 2.0f, 3.0f).Dot(Vector(4.0f, -5.0f, 6.0f)), 12.0f);
}

TEST(VectorTest, LengthIgnoresW)
{
	const Vector vector(3.0f, 0.0f, 4.0f, 9.0f);
	EXPECT_FLOAT_EQ(vector.LengthSquared(), 25.0f);
	EXPECT_FLOAT_EQ(vector.Length(), 5.0f);
}

TEST(VectorTest, NormalizeGivesUnitLengthAndLeavesZeroAlone)
{
	Vector vector(0.0f, 3.0f, -4.0f, 0.0f);
	vector.Normalize();
	EXPECT_EQ(vector, Vector(0.0f, 0.6f, -0.8f));

	const Vector original(2.0f, 0.0f, 0.0f);
	EXPECT_EQ(original.GetNormalized(), Vector::UNIT_X);
	EXPECT_EQ(original.x, 2.0f);

	Vector zero = Vector::ZERO;
	zero.Normalize();
	EXPECT_EQ(zero.x, 0.0f);
	EXPECT_EQ(zero.y, 0.0f);
	EXPECT_EQ(zero.z, 0.0f);
}

TEST(VectorTest, EqualityToleratesFloatNoiseAndComparesW)
{
	const Vector base(1.0f, 2.0f, 3.0f);
	EXPECT_TRUE(base == Vector(1.000001f, 2.0f, 3.0f));
	EXPECT_TRUE(base != Vector(1.001f, 2.0f, 3.0f));
	EXPECT_TRUE(base != Vector(1.0f, 2.0f, 3.0f, 0.0f));
	EXPECT_TRUE(base.Equals(Vector(1.05f, 2.0f, 3.0f), 0.1f));
	EXPECT_FALSE(base.Equals(Vector(1.05f, 2.0f, 3.0f), 0.01f));
}

TEST(VectorTest, ConvertsToAndFromPackedThreeFloats)
{
	const Vector3f packed = Vector(1.0f, 2.0f, 3.0f, 0.0f).ToVector3f();
	EXPECT_EQ(packed, Vector3f(1.0f, 2.0f, 3.0f));
	EXPECT_EQ(Vector(packed), Vector(1.0f, 2.0f, 3.0f, 1.0f));
}
