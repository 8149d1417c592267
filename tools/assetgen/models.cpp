#include "models.hpp"

#include <array>

namespace VornAssetGen
{
	namespace
	{
		constexpr float PI = 3.14159265358979f;

		Vertex MakeVertex(const Vec3& position, const Vec3& normal, float u, float v)
		{
			return Vertex{position, normal, u, v};
		}

		// A flat quad of a convex part; its normal points away from the part's centre.
		void AddFlatQuad(MeshBuilder& builder, const std::array<Vec3, 4>& corners, const std::array<float, 8>& uvs,
		                 const Vec3& partCentre)
		{
			Vec3 normal = Normalized(Cross(corners[1] - corners[0], corners[2] - corners[0]));
			if (Dot(normal, (corners[0] + corners[2]) * 0.5f - partCentre) < 0.0f)
				normal = normal * -1.0f;
			builder.AddQuad(
			    MakeVertex(corners[0], normal, uvs[0], uvs[1]), MakeVertex(corners[1], normal, uvs[2], uvs[3]),
			    MakeVertex(corners[2], normal, uvs[4], uvs[5]), MakeVertex(corners[3], normal, uvs[6], uvs[7]));
		}

		// A box `halfLength` long along its local X, turned by `yaw` about Y; the long faces take the whole
		// `uv` region along the length, the end faces a sliver of it.
		void AddBox(MeshBuilder& builder, const Vec3& centre, const Vec3& halfExtents, float yaw, const UvRect& uv)
		{
			auto corner = [&](float sx, float sy, float sz) {
				return centre + RotatedY({sx * halfExtents.x, sy * halfExtents.y, sz * halfExtents.z}, yaw);
			};
			const std::array<float, 8> along{uv.U(0), uv.V(0), uv.U(1), uv.V(0), uv.U(1), uv.V(1), uv.U(0), uv.V(1)};
			const std::array<float, 8> end{uv.U(0),     uv.V(0), uv.U(0.05f), uv.V(0),
			                               uv.U(0.05f), uv.V(1), uv.U(0),     uv.V(1)};
			// Top, bottom and the two sides run along the length.
			AddFlatQuad(builder, {corner(-1, 1, -1), corner(1, 1, -1), corner(1, 1, 1), corner(-1, 1, 1)}, along,
			            centre);
			AddFlatQuad(builder, {corner(-1, -1, -1), corner(1, -1, -1), corner(1, -1, 1), corner(-1, -1, 1)}, along,
			            centre);
			AddFlatQuad(builder, {corner(-1, -1, -1), corner(1, -1, -1), corner(1, 1, -1), corner(-1, 1, -1)}, along,
			            centre);
			AddFlatQuad(builder, {corner(-1, -1, 1), corner(1, -1, 1), corner(1, 1, 1), corner(-1, 1, 1)}, along,
			            centre);
			AddFlatQuad(builder, {corner(-1, -1, -1), corner(-1, -1, 1), corner(-1, 1, 1), corner(-1, 1, -1)}, end,
			            centre);
			AddFlatQuad(builder, {corner(1, -1, -1), corner(1, -1, 1), corner(1, 1, 1), corner(1, 1, -1)}, end, centre);
		}

		// An upright cylinder with smooth sides and flat caps. The caps are projected from above onto a disc
		// inscribed in `capUv`; the sides wrap once around `sideUv`.
		void AddCylinder(MeshBuilder& builder, const Vec3& baseCentre, float height, float radius, int segments,
		                 const UvRect& sideUv, const UvRect& capUv)
		{
			const Vec3 up{0.0f, 1.0f, 0.0f};
			const Vec3 topCentre = baseCentre + up * height;
			auto rim = [&](int segment)
			{
				const float angle = 2.0f * PI * static_cast<float>(segment) / static_cast<float>(segments);
				return Vec3{std::cos(angle), 0.0f, -std::sin(angle)};
			};
			auto capVertex = [&](const Vec3& position, const Vec3& normal, const Vec3& offset) {
				return MakeVertex(position, normal, capUv.U(0.5f + 0.48f * offset.x), capUv.V(0.5f - 0.48f * offset.z));
			};
			for (int segment = 0; segment < segments; ++segment)
			{
				const Vec3 a = rim(segment);
				const Vec3 b = rim(segment + 1);
				const float s0 = static_cast<float>(segment) / static_cast<float>(segments);
				const float s1 = static_cast<float>(segment + 1) / static_cast<float>(segments);
				builder.AddQuad(MakeVertex(baseCentre + a * radius, a, sideUv.U(s0), sideUv.V(0)),
				                MakeVertex(baseCentre + b * radius, b, sideUv.U(s1), sideUv.V(0)),
				                MakeVertex(topCentre + b * radius, b, sideUv.U(s1), sideUv.V(1)),
				                MakeVertex(topCentre + a * radius, a, sideUv.U(s0), sideUv.V(1)));
				builder.AddTriangle(capVertex(topCentre, up, {}), capVertex(topCentre + a * radius, up, a),
				                    capVertex(topCentre + b * radius, up, b));
				builder.AddTriangle(capVertex(baseCentre, up * -1.0f, {}),
				                    capVertex(baseCentre + a * radius, up * -1.0f, a),
				                    capVertex(baseCentre + b * radius, up * -1.0f, b));
			}
		}

		// Octagonal body, widest at its waist, with its top plate mapped onto the body quadrant.
		void AddBody(MeshBuilder& builder)
		{
			struct Ring
			{
				float Y;
				float Radius;
			};
			const Ring rings[] = {{-0.30f, 0.85f}, {-0.05f, 1.0f}, {0.20f, 0.8f}};
			const Vec3 centre{0.0f, -0.05f, 0.0f};
			const UvRect& sides = DroneLayout::BODY_SIDES;
			const std::array<float, 8> sideUvs{sides.U(0), sides.V(0), sides.U(1), sides.V(0),
			                                   sides.U(1), sides.V(1), sides.U(0), sides.V(1)};
			auto point = [](const Ring& ring, int corner)
			{
				const float angle = PI / 8.0f + static_cast<float>(corner) * PI / 4.0f;
				return Vec3{ring.Radius * std::cos(angle), ring.Y, -ring.Radius * std::sin(angle)};
			};
			for (int corner = 0; corner < 8; ++corner)
			{
				for (int band = 0; band < 2; ++band)
				{
					AddFlatQuad(builder,
					            {point(rings[band], corner), point(rings[band], corner + 1),
					             point(rings[band + 1], corner + 1), point(rings[band + 1], corner)},
					            sideUvs, centre);
				}

				const Vec3 top[3] = {{0.0f, rings[2].Y, 0.0f}, point(rings[2], corner), point(rings[2], corner + 1)};
				Vertex topVertices[3];
				for (int k = 0; k < 3; ++k)
				{
					// The plate's projection fills the quadrant, front (-Z) towards its top edge.
					topVertices[k] = MakeVertex(top[k], {0.0f, 1.0f, 0.0f}, DroneLayout::BODY.U(0.5f + top[k].x / 1.7f),
					                            DroneLayout::BODY.V(0.5f - top[k].z / 1.7f));
				}
				builder.AddTriangle(topVertices[0], topVertices[1], topVertices[2]);

				const Vec3 down{0.0f, -1.0f, 0.0f};
				builder.AddTriangle(MakeVertex({0.0f, rings[0].Y, 0.0f}, down, sides.U(0.5f), sides.V(0.5f)),
				                    MakeVertex(point(rings[0], corner), down, sides.U(0), sides.V(0)),
				                    MakeVertex(point(rings[0], corner + 1), down, sides.U(1), sides.V(1)));
			}
			AddBox(builder, {0.0f, -0.15f, -0.95f}, {0.15f, 0.1f, 0.18f}, 0.0f, DroneLayout::NOSE);
		}
	} // namespace

	MeshBuilder BuildDrone()
	{
		MeshBuilder builder;
		builder.BeginGroup("Body");
		AddBody(builder);

		constexpr float motorDistance = 2.6f;
		const float diagonals[] = {PI / 4.0f, 3.0f * PI / 4.0f, 5.0f * PI / 4.0f, 7.0f * PI / 4.0f};

		builder.BeginGroup("Arms");
		for (float yaw : diagonals)
		{
			const Vec3 middle = RotatedY({(0.75f + 2.45f) * 0.5f, -0.05f, 0.0f}, yaw);
			AddBox(builder, middle, {(2.45f - 0.75f) * 0.5f, 0.08f, 0.12f}, yaw, DroneLayout::ARMS);
		}

		builder.BeginGroup("Motors");
		for (float yaw : diagonals)
		{
			const Vec3 base = RotatedY({motorDistance, -0.18f, 0.0f}, yaw);
			AddCylinder(builder, base, 0.38f, 0.3f, 12, DroneLayout::MOTOR_SIDES, DroneLayout::MOTOR_CAPS);
		}

		// The discs stand for spinning propellers; their blades are painted on the texture.
		builder.BeginGroup("Rotors");
		for (float yaw : diagonals)
		{
			const Vec3 base = RotatedY({motorDistance, 0.26f, 0.0f}, yaw);
			AddCylinder(builder, base, 0.04f, 1.4f, 16, DroneLayout::ROTOR_RIM, DroneLayout::ROTORS);
		}
		return builder;
	}

	MeshBuilder BuildSphere(int segments, int rings)
	{
		MeshBuilder builder;
		builder.BeginGroup("Sphere");
		auto vertex = [segments, rings](int ring, int segment)
		{
			const float polar = PI * static_cast<float>(ring) / static_cast<float>(rings);
			const float azimuth = 2.0f * PI * static_cast<float>(segment) / static_cast<float>(segments);
			const Vec3 position{std::sin(polar) * std::cos(azimuth), std::cos(polar),
			                    -std::sin(polar) * std::sin(azimuth)};
			return MakeVertex(position, position, static_cast<float>(segment) / static_cast<float>(segments),
			                  1.0f - static_cast<float>(ring) / static_cast<float>(rings));
		};
		for (int ring = 0; ring < rings; ++ring)
		{
			for (int segment = 0; segment < segments; ++segment)
			{
				if (ring == 0)
					builder.AddTriangle(vertex(0, segment), vertex(1, segment), vertex(1, segment + 1));
				else if (ring == rings - 1)
					builder.AddTriangle(vertex(ring, segment), vertex(ring + 1, segment), vertex(ring, segment + 1));
				else
					builder.AddQuad(vertex(ring, segment), vertex(ring + 1, segment), vertex(ring + 1, segment + 1),
					                vertex(ring, segment + 1));
			}
		}
		return builder;
	}

	MeshBuilder BuildLowPolySphere() { return BuildSphere(16, 8); }

	MeshBuilder BuildCube()
	{
		MeshBuilder builder;
		builder.BeginGroup("Cube");
		const UvRect whole;
		AddBox(builder, {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.0f, whole);
		return builder;
	}

	MeshBuilder BuildPlane()
	{
		MeshBuilder builder;
		builder.BeginGroup("Plane");
		const Vec3 up{0.0f, 1.0f, 0.0f};
		builder.AddQuad(MakeVertex({-1.0f, 0.0f, 1.0f}, up, 0.0f, 0.0f), MakeVertex({1.0f, 0.0f, 1.0f}, up, 1.0f, 0.0f),
		                MakeVertex({1.0f, 0.0f, -1.0f}, up, 1.0f, 1.0f),
		                MakeVertex({-1.0f, 0.0f, -1.0f}, up, 0.0f, 1.0f));
		return builder;
	}
} // namespace VornAssetGen
