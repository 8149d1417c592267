#include "math/matrix.hpp"
#include "math/quaternion.hpp"

#include <gtest/gtest.h>

#include <random>

using namespace Vorn;

namespace
{
	// Clip space to normalised device coordinates.
	Vector PerspectiveDivide(const Vector& clip) { return Vector(clip.x / clip.w, clip.y / clip.w, clip.z / clip.w); }

	Vector Direction(float x, float y, float z) { return Vector(x, y, z, 0.0f); }

	class RandomTransforms
	{
	public:
		float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(Engine); }
		Vector Point(float range)
		{
			return Vector(Uniform(-range, range), Uniform(-range, range), Uniform(-range, range));
		}
		Quaternion Rotation()
		{
			return Quaternion(Point(1.0f) + Vector(0.0f, 0.0f, 0.01f), Angle::FromDegrees(Uniform(-180.0f, 180.0f)));
		}
		Vector Scale() { return Vector(Uniform(0.2f, 5.0f), Uniform(0.2f, 5.0f), Uniform(0.2f, 5.0f)); }

	private:
		std::mt19937 Engine{12345};
	};
} // namespace

TEST(MatrixTest, DefaultIsIdentity)
{
	const Matrix matrix;
	for (int row = 0; row < 4; ++row)
	{
		for (int col = 0; col < 4; ++col)
		{
			EXPECT_EQ(matrix.m[row][col], row == col ? 1.0f : 0.0f);
		}
	}
	EXPECT_EQ(matrix, Matrix::IDENTITY);
}

TEST(MatrixTest, TranslationLivesInLastColumnAndMovesPointsOnly)
{
	Matrix matrix;
	matrix.SetTranslation(Vector(1.0f, 2.0f, 3.0f));
	EXPECT_EQ(matrix.m[0][3], 1.0f);
	EXPECT_EQ(matrix.m[1][3], 2.0f);
	EXPECT_EQ(matrix.m[2][3], 3.0f);
	EXPECT_EQ(matrix.GetData()[3], 1.0f);
	EXPECT_EQ(matrix.GetData()[7], 2.0f);
	EXPECT_EQ(matrix.GetData()[11], 3.0f);
	EXPECT_EQ(matrix.GetTranslation(), Vector(1.0f, 2.0f, 3.0f));

	EXPECT_EQ(matrix * Vector(4.0f, 5.0f, 6.0f), Vector(5.0f, 7.0f, 9.0f, 1.0f));
	EXPECT_EQ(matrix * Direction(4.0f, 5.0f, 6.0f), Direction(4.0f, 5.0f, 6.0f));
}

TEST(MatrixTest, RowMajorConstructorAndProductApplyRightOperandFirst)
{
	const Matrix rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
	EXPECT_EQ(rows.m[0][1], 2.0f);
	EXPECT_EQ(rows.m[1][0], 5.0f);
	EXPECT_EQ(rows * Vector(1.0f, 0.0f, 0.0f, 0.0f), Vector(1.0f, 5.0f, 9.0f, 13.0f));

	Matrix translate;
	translate.SetTranslation(Vector(10.0f, 0.0f, 0.0f));
	Matrix scale;
	scale.SetScale(Vector(2.0f, 3.0f, 4.0f));
	const Vector point(1.0f, 1.0f, 1.0f);
	EXPECT_EQ((translate * scale) * point, Vector(12.0f, 3.0f, 4.0f));
	EXPECT_EQ((scale * translate) * point, Vector(22.0f, 3.0f, 4.0f));
	EXPECT_EQ((translate * scale) * point, translate * (scale * point));
}

TEST(MatrixTest, PerspectiveMapsNearAndFarPlanesAndFrustumEdges)
{
	struct Case
	{
		float fovDegrees;
		float aspect;
		float zNear;
		float zFar;
	};
	const Case cases[] = {{90.0f, 1.0f, 0.1f, 10.0f}, {60.0f, 16.0f / 9.0f, 0.5f, 1000.0f}, {45.0f, 0.5f, 1.0f, 50.0f}};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.fovDegrees);
		Matrix projection;
		projection.SetPerspective(Angle::FromDegrees(c.fovDegrees), c.aspect, c.zNear, c.zFar);

		EXPECT_TRUE(PerspectiveDivide(projection * Vector(0.0f, 0.0f, -c.zNear)).Equals(Vector(0, 0, -1), 1e-4f));
		EXPECT_TRUE(PerspectiveDivide(projection * Vector(0.0f, 0.0f, -c.zFar)).Equals(Vector(0, 0, 1), 1e-4f));
		// The view direction stays on the screen centre, and w carries the view-space distance.
		const Vector middle = projection * Vector(0.0f, 0.0f, -2.0f);
		EXPECT_NEAR(middle.x, 0.0f, 1e-6f);
		EXPECT_NEAR(middle.y, 0.0f, 1e-6f);
		EXPECT_NEAR(middle.w, 2.0f, 1e-6f);

		// The field of view is vertical: the top edge reaches y = 1, the right edge x = 1 after the aspect.
		const float distance = 3.0f;
		const float halfHeight = distance * std::tan(Angle::FromDegrees(c.fovDegrees / 2.0f).AsRadians());
		const Vector corner = PerspectiveDivide(projection * Vector(halfHeight * c.aspect, halfHeight, -distance));
		EXPECT_NEAR(corner.x, 1.0f, 1e-4f);
		EXPECT_NEAR(corner.y, 1.0f, 1e-4f);
	}
}

TEST(MatrixTest, OrthographicMapsBoxCornersToCubeWithBottomTopLeftRightOrder)
{
	struct Case
	{
		float bottom, top, left, right, zNear, zFar;
	};
	const Case cases[] = {{0.0f, 720.0f, 0.0f, 1280.0f, -1.0f, 1.0f}, {-2.0f, 6.0f, 1.0f, 3.0f, 0.5f, 20.0f}};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.right);
		Matrix projection;
		projection.SetOrthographic(c.bottom, c.top, c.left, c.right, c.zNear, c.zFar);
		EXPECT_TRUE((projection * Vector(c.left, c.bottom, -c.zNear)).Equals(Vector(-1, -1, -1), 1e-5f));
		EXPECT_TRUE((projection * Vector(c.right, c.top, -c.zFar)).Equals(Vector(1, 1, 1), 1e-5f));
		EXPECT_TRUE((projection * Vector(c.right, c.bottom, -c.zNear)).Equals(Vector(1, -1, -1), 1e-5f));
		const Vector centre((c.left + c.right) / 2.0f, (c.bottom + c.top) / 2.0f, -(c.zNear + c.zFar) / 2.0f);
		EXPECT_TRUE((projection * centre).Equals(Vector(0, 0, 0), 1e-5f));
	}
}

TEST(MatrixTest, InverseOfRandomTransformsGivesIdentity)
{
	RandomTransforms random;
	for (int index = 0; index < 50; ++index)
	{
		const Matrix trs = Matrix::Compose(random.Point(100.0f), random.Rotation(), random.Scale());
		EXPECT_TRUE((trs * trs.GetInversed()).Equals(Matrix::IDENTITY, 1e-4f)) << trs;
		EXPECT_TRUE((trs.GetInversed() * trs).Equals(Matrix::IDENTITY, 1e-4f)) << trs;
	}

	Matrix projection;
	projection.SetPerspective(Angle::FromDegrees(70.0f), 1.5f, 0.1f, 100.0f);
	EXPECT_TRUE((projection * projection.GetInversed()).Equals(Matrix::IDENTITY, 1e-4f));

	const Matrix general({2, -1, 0, 3, 1, 4, -2, 0, 0, 5, 1, -1, 3, 0, 2, 1});
	EXPECT_TRUE((general * general.GetInversed()).Equals(Matrix::IDENTITY, 1e-5f));
}

TEST(MatrixTest, SingularMatrixInvertsToZero)
{
	Matrix flattened;
	flattened.SetScale(Vector(1.0f, 0.0f, 1.0f));
	EXPECT_EQ(flattened.GetDeterminant(), 0.0f);
	const Matrix inverse = flattened.GetInversed();
	for (int index = 0; index < 16; ++index)
	{
		EXPECT_EQ(inverse.GetData()[index], 0.0f);
	}
}

TEST(MatrixTest, TransposeSwapsRowsAndColumnsAndReversesProducts)
{
	const Matrix a({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
	const Matrix b({2, 0, 1, 0, 0, 3, 0, 1, 1, 0, 1, 0, 4, 0, 0, 1});
	const Matrix transposed = a.GetTransposed();
	EXPECT_EQ(transposed.m[0][3], 13.0f);
	EXPECT_EQ(transposed.m[3][0], 4.0f);
	EXPECT_EQ(transposed.GetTransposed(), a);
	EXPECT_EQ((a * b).GetTransposed(), b.GetTransposed() * a.GetTransposed());
}

TEST(MatrixTest, DecomposeReturnsComposedParts)
{
	struct Case
	{
		Vector translation;
		Quaternion rotation;
		Vector scale;
	};
	const Case cases[] = {
	    {Vector(1.0f, 2.0f, 3.0f), Quaternion(), Vector(1.0f, 1.0f, 1.0f)},
	    {Vector(-5.0f, 0.0f, 8.0f), Quaternion(Vector::UNIT_Y, Angle::FromDegrees(90.0f)), Vector(2.0f, 3.0f, 4.0f)},
	    {Vector(0.0f, 0.0f, 0.0f), Quaternion(Vector(1.0f, 1.0f, 0.0f), Angle::FromDegrees(180.0f)),
	     Vector(0.5f, 1.0f, 7.0f)},
	    {Vector(10.0f, -20.0f, 30.0f), Quaternion(Vector(-1.0f, 2.0f, 0.5f), Angle::FromDegrees(-130.0f)),
	     Vector(3.0f, 0.25f, 1.0f)},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.rotation);
		Vector translation;
		Quaternion rotation;
		Vector scale;
		Matrix::Compose(c.translation, c.rotation, c.scale).Decompose(translation, rotation, scale);
		EXPECT_TRUE(translation.Equals(c.translation, 1e-5f)) << translation;
		EXPECT_TRUE(rotation.Equals(c.rotation, 1e-5f)) << rotation;
		EXPECT_TRUE(scale.Equals(c.scale, 1e-5f)) << scale;
	}
}

TEST(MatrixTest, DecomposeOfMirrorRecomposesToSameMatrix)
{
	const Matrix mirrored = Matrix::Compose(
	    Vector(1.0f, 2.0f, 3.0f), Quaternion(Vector::UNIT_Z, Angle::FromDegrees(30.0f)), Vector(2.0f, -1.0f, 3.0f));
	Vector translation;
	Quaternion rotation;
	Vector scale;
	mirrored.Decompose(translation, rotation, scale);
	EXPECT_LT(scale.x * scale.y * scale.z, 0.0f);
	EXPECT_NEAR(rotation.Length(), 1.0f, 1e-5f);
	EXPECT_TRUE(Matrix::Compose(translation, rotation, scale).Equals(mirrored, 1e-5f));
}

TEST(MatrixTest, DecomposeOfZeroScaleKeepsIdentityRotation)
{
	Matrix collapsed = Matrix::Compose(Vector(4.0f, 5.0f, 6.0f), Quaternion(), Vector(0.0f, 2.0f, 1.0f));
	Vector translation;
	Quaternion rotation(Vector::UNIT_X, Angle::FromDegrees(45.0f));
	Vector scale;
	collapsed.Decompose(translation, rotation, scale);
	EXPECT_EQ(translation, Vector(4.0f, 5.0f, 6.0f));
	EXPECT_EQ(scale, Vector(0.0f, 2.0f, 1.0f));
	EXPECT_EQ(rotation, Quaternion());
}

TEST(MatrixTest, LookAtCubeFacesMapTargetToMinusZAndUpToPlusY)
{
	struct Case
	{
		Vector target;
		Vector up;
	};
	const Case cases[] = {
	    {Vector(1, 0, 0), Vector(0, -1, 0)}, {Vector(-1, 0, 0), Vector(0, -1, 0)}, {Vector(0, -1, 0), Vector(0, 0, -1)},
	    {Vector(0, 1, 0), Vector(0, 0, 1)},  {Vector(0, 0, 1), Vector(0, -1, 0)},  {Vector(0, 0, -1), Vector(0, -1, 0)},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.target);
		const Matrix view(Vector::ZERO, c.target, c.up);
		EXPECT_EQ(view * Direction(c.target.x, c.target.y, c.target.z), Direction(0.0f, 0.0f, -1.0f));
		EXPECT_EQ(view * Direction(c.up.x, c.up.y, c.up.z), Direction(0.0f, 1.0f, 0.0f));
		// A view matrix of a camera at the origin is a proper rotation: right-handed, no mirror.
		EXPECT_NEAR(view.GetDeterminant(), 1.0f, 1e-5f);
	}
}

TEST(MatrixTest, LookAtFromOffsetPositionPutsCameraAtOriginAndTargetAhead)
{
	const Vector position(1.0f, 2.0f, 3.0f);
	const Vector target(1.0f, 2.0f, -2.0f);
	// Tilted up vector: only its part orthogonal to the view direction survives, as +Y.
	const Matrix view(position, target, Vector(0.0f, 1.0f, 1.0f));
	EXPECT_EQ(view * position, Vector(0.0f, 0.0f, 0.0f));
	EXPECT_EQ(view * target, Vector(0.0f, 0.0f, -5.0f));
	EXPECT_EQ(view * Vector(1.0f, 3.0f, 3.0f), Vector(0.0f, 1.0f, 0.0f));
	EXPECT_EQ(view * Vector(2.0f, 2.0f, 3.0f), Vector(1.0f, 0.0f, 0.0f));
	// The camera's world transform is the inverse of its view matrix.
	EXPECT_TRUE(view.GetInversed().GetTranslation().Equals(position, 1e-5f));
}

TEST(MatrixTest, EqualityUsesEpsilon)
{
	Matrix nudged;
	nudged.m[2][1] = 1e-6f;
	EXPECT_EQ(nudged, Matrix::IDENTITY);
	nudged.m[2][1] = 1e-3f;
	EXPECT_NE(nudged, Matrix::IDENTITY);
	EXPECT_TRUE(nudged.Equals(Matrix::IDENTITY, 1e-2f));
}
