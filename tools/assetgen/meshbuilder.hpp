#pragma once

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace VornAssetGen
{
	struct Vec3
	{
		float x = 0.0f;
		float y = 0.0f;
		float z = 0.0f;

		Vec3 operator+(const Vec3& rhs) const { return {x + rhs.x, y + rhs.y, z + rhs.z}; }
		Vec3 operator-(const Vec3& rhs) const { return {x - rhs.x, y - rhs.y, z - rhs.z}; }
		Vec3 operator*(float factor) const { return {x * factor, y * factor, z * factor}; }
	};

	inline float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
	inline Vec3 Cross(const Vec3& a, const Vec3& b)
	{
		return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
	}
	inline Vec3 Normalized(const Vec3& v)
	{
		const float length = std::sqrt(Dot(v, v));
		return length > 0.0f ? v * (1.0f / length) : v;
	}
	// Turns a point about the Y axis (right-handed, counter-clockwise seen from above).
	inline Vec3 RotatedY(const Vec3& v, float radians)
	{
		const float c = std::cos(radians);
		const float s = std::sin(radians);
		return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
	}

	struct Vertex
	{
		Vec3 Position;
		Vec3 Normal;
		float U = 0.0f;
		float V = 0.0f;
	};

	// Triangle soup split into named groups, written as a Wavefront OBJ file (one object per group, every
	// group using the same material).
	class MeshBuilder
	{
	public:
		void BeginGroup(const std::string& name);
		// Winds the triangle counter-clockwise as seen from the side its vertex normals point to, so callers
		// need not care about corner order.
		void AddTriangle(Vertex a, Vertex b, Vertex c);
		// Corners in order around the quad; split along the diagonal from the first corner.
		void AddQuad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d);

		std::size_t GetTriangleCount() const;

		// `materialLibrary` and `material` may be empty for a model without a material.
		void WriteObj(const std::filesystem::path& path, const std::string& materialLibrary,
		              const std::string& material) const;

	private:
		struct Group
		{
			std::string Name;
			std::vector<Vertex> Corners; // three per triangle
		};

		std::vector<Group> Groups;
	};

	// Writes `text` to `path`, creating its folder; stops the tool on failure.
	void WriteTextFile(const std::filesystem::path& path, const std::string& text);
} // namespace VornAssetGen
