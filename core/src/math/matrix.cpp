#include "math/matrix.hpp"

#include "math/quaternion.hpp"

#include <ostream>

namespace Vorn
{
	namespace
	{
		// The 2x2 minors of the top two rows (s) and the bottom two rows (c) by which the determinant
		// and all cofactors of a 4x4 matrix are expressed (Laplace expansion over row pairs).
		struct Minors
		{
			float s[6];
			float c[6];

			explicit Minors(const float (&a)[4][4])
			{
				s[0] = a[0][0] * a[1][1] - a[1][0] * a[0][1];
				s[1] = a[0][0] * a[1][2] - a[1][0] * a[0][2];
				s[2] = a[0][0] * a[1][3] - a[1][0] * a[0][3];
				s[3] = a[0][1] * a[1][2] - a[1][1] * a[0][2];
				s[4] = a[0][1] * a[1][3] - a[1][1] * a[0][3];
				s[5] = a[0][2] * a[1][3] - a[1][2] * a[0][3];
				c[0] = a[2][0] * a[3][1] - a[3][0] * a[2][1];
				c[1] = a[2][0] * a[3][2] - a[3][0] * a[2][2];
				c[2] = a[2][0] * a[3][3] - a[3][0] * a[2][3];
				c[3] = a[2][1] * a[3][2] - a[3][1] * a[2][2];
				c[4] = a[2][1] * a[3][3] - a[3][1] * a[2][3];
				c[5] = a[2][2] * a[3][3] - a[3][2] * a[2][3];
			}

			float Determinant() const
			{
				return s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
			}
		};
	} // namespace

	Matrix::Matrix(const float (&rowMajor)[16])
	{
		for (int index = 0; index < 16; ++index)
		{
			m[index / 4][index % 4] = rowMajor[index];
		}
	}

	Matrix::Matrix(const Vector& position, const Vector& target, const Vector& up)
	{
		const Vector forward = (target - position).GetNormalized();
		const Vector right = forward.Cross(up).GetNormalized();
		const Vector trueUp = right.Cross(forward);

		const Vector rows[3] = {right, trueUp, -forward};
		for (int row = 0; row < 3; ++row)
		{
			m[row][0] = rows[row].x;
			m[row][1] = rows[row].y;
			m[row][2] = rows[row].z;
			m[row][3] = -rows[row].Dot(position);
		}
		m[3][0] = 0.0f;
		m[3][1] = 0.0f;
		m[3][2] = 0.0f;
		m[3][3] = 1.0f;
	}

	Matrix Matrix::Compose(const Vector& translation, const Quaternion& rotation, const Vector& scale)
	{
		Matrix result = rotation.ToRotationMatrix();
		const float scales[3] = {scale.x, scale.y, scale.z};
		for (int row = 0; row < 3; ++row)
		{
			for (int col = 0; col < 3; ++col)
			{
				result.m[row][col] *= scales[col];
			}
		}
		result.SetTranslation(translation);
		return result;
	}

	void Matrix::SetTranslation(const Vector& translation)
	{
		m[0][3] = translation.x;
		m[1][3] = translation.y;
		m[2][3] = translation.z;
	}

	void Matrix::SetScale(const Vector& scale)
	{
		m[0][0] = scale.x;
		m[1][1] = scale.y;
		m[2][2] = scale.z;
	}

	void Matrix::SetPerspective(Angle fov, float aspect, float zNear, float zFar)
	{
		const float focal = 1.0f / std::tan(fov.AsRadians() * 0.5f);
		*this = Matrix();
		m[0][0] = focal / aspect;
		m[1][1] = focal;
		m[2][2] = (zFar + zNear) / (zNear - zFar);
		m[2][3] = 2.0f * zFar * zNear / (zNear - zFar);
		m[3][2] = -1.0f;
		m[3][3] = 0.0f;
	}

	void Matrix::SetOrthographic(float bottom, float top, float left, float right, float zNear, float zFar)
	{
		*this = Matrix();
		m[0][0] = 2.0f / (right - left);
		m[1][1] = 2.0f / (top - bottom);
		m[2][2] = -2.0f / (zFar - zNear);
		m[0][3] = -(right + left) / (right - left);
		m[1][3] = -(top + bottom) / (top - bottom);
		m[2][3] = -(zFar + zNear) / (zFar - zNear);
	}

	float Matrix::GetDeterminant() const { return Minors(m).Determinant(); }

	Matrix Matrix::GetInversed() const
	{
		const Minors minors(m);
		const float determinant = minors.Determinant();
		Matrix result;
		if (determinant == 0.0f)
		{
			for (auto& row : result.m)
			{
				for (float& value : row)
				{
					value = 0.0f;
				}
			}
			return result;
		}

		const float(&a)[4][4] = m;
		const float* s = minors.s;
		const float* c = minors.c;
		const float inverseDeterminant = 1.0f / determinant;

		result.m[0][0] = (a[1][1] * c[5] - a[1][2] * c[4] + a[1][3] * c[3]) * inverseDeterminant;
		result.m[0][1] = (-a[0][1] * c[5] + a[0][2] * c[4] - a[0][3] * c[3]) * inverseDeterminant;
		result.m[0][2] = (a[3][1] * s[5] - a[3][2] * s[4] + a[3][3] * s[3]) * inverseDeterminant;
		result.m[0][3] = (-a[2][1] * s[5] + a[2][2] * s[4] - a[2][3] * s[3]) * inverseDeterminant;

		result.m[1][0] = (-a[1][0] * c[5] + a[1][2] * c[2] - a[1][3] * c[1]) * inverseDeterminant;
		result.m[1][1] = (a[0][0] * c[5] - a[0][2] * c[2] + a[0][3] * c[1]) * inverseDeterminant;
		result.m[1][2] = (-a[3][0] * s[5] + a[3][2] * s[2] - a[3][3] * s[1]) * inverseDeterminant;
		result.m[1][3] = (a[2][0] * s[5] - a[2][2] * s[2] + a[2][3] * s[1]) * inverseDeterminant;

		result.m[2][0] = (a[1][0] * c[4] - a[1][1] * c[2] + a[1][3] * c[0]) * inverseDeterminant;
		result.m[2][1] = (-a[0][0] * c[4] + a[0][1] * c[2] - a[0][3] * c[0]) * inverseDeterminant;
		result.m[2][2] = (a[3][0] * s[4] - a[3][1] * s[2] + a[3][3] * s[0]) * inverseDeterminant;
		result.m[2][3] = (-a[2][0] * s[4] + a[2][1] * s[2] - a[2][3] * s[0]) * inverseDeterminant;

		result.m[3][0] = (-a[1][0] * c[3] + a[1][1] * c[1] - a[1][2] * c[0]) * inverseDeterminant;
		result.m[3][1] = (a[0][0] * c[3] - a[0][1] * c[1] + a[0][2] * c[0]) * inverseDeterminant;
		result.m[3][2] = (-a[3][0] * s[3] + a[3][1] * s[1] - a[3][2] * s[0]) * inverseDeterminant;
		result.m[3][3] = (a[2][0] * s[3] - a[2][1] * s[1] + a[2][2] * s[0]) * inverseDeterminant;
		return result;
	}

	Matrix Matrix::GetTransposed() const
	{
		Matrix result;
		for (int row = 0; row < 4; ++row)
		{
			for (int col = 0; col < 4; ++col)
			{
				result.m[row][col] = m[col][row];
			}
		}
		return result;
	}

	void Matrix::Decompose(Vector& translation, Quaternion& rotation, Vector& scale) const
	{
		translation = GetTranslation();

		Vector columns[3];
		for (int col = 0; col < 3; ++col)
		{
			columns[col] = Vector(m[0][col], m[1][col], m[2][col]);
		}
		scale = Vector(columns[0].Length(), columns[1].Length(), columns[2].Length());
		if (columns[0].Cross(columns[1]).Dot(columns[2]) < 0.0f)
		{
			scale.x = -scale.x;
		}

		// With a zero scale the axes no longer span space and no rotation can be recovered.
		if (scale.x == 0.0f || scale.y == 0.0f || scale.z == 0.0f)
		{
			rotation = Quaternion();
			return;
		}

		Matrix rotationMatrix;
		const float scales[3] = {scale.x, scale.y, scale.z};
		for (int row = 0; row < 3; ++row)
		{
			for (int col = 0; col < 3; ++col)
			{
				rotationMatrix.m[row][col] = m[row][col] / scales[col];
			}
		}
		rotation = Quaternion::FromRotationMatrix(rotationMatrix);
	}

	Matrix Matrix::operator*(const Matrix& rhs) const
	{
		Matrix result;
		for (int row = 0; row < 4; ++row)
		{
			for (int col = 0; col < 4; ++col)
			{
				result.m[row][col] = m[row][0] * rhs.m[0][col] + m[row][1] * rhs.m[1][col] + m[row][2] * rhs.m[2][col] +
				                     m[row][3] * rhs.m[3][col];
			}
		}
		return result;
	}

	Vector Matrix::operator*(const Vector& vector) const
	{
		float result[4];
		for (int row = 0; row < 4; ++row)
		{
			result[row] = m[row][0] * vector.x + m[row][1] * vector.y + m[row][2] * vector.z + m[row][3] * vector.w;
		}
		return Vector(result[0], result[1], result[2], result[3]);
	}

	bool Matrix::Equals(const Matrix& rhs, float epsilon) const
	{
		for (int row = 0; row < 4; ++row)
		{
			for (int col = 0; col < 4; ++col)
			{
				if (!IsNearlyEqual(m[row][col], rhs.m[row][col], epsilon))
				{
					return false;
				}
			}
		}
		return true;
	}

	std::ostream& operator<<(std::ostream& stream, const Matrix& matrix)
	{
		stream << "[";
		for (int row = 0; row < 4; ++row)
		{
			stream << (row == 0 ? "(" : ", (");
			for (int col = 0; col < 4; ++col)
			{
				stream << (col == 0 ? "" : ", ") << matrix.m[row][col];
			}
			stream << ")";
		}
		return stream << "]";
	}
} // namespace Vorn
