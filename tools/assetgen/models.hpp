#pragma once

#include "meshbuilder.hpp"

namespace VornAssetGen
{
	// Texture regions of the drone's albedo map, in texture coordinates (v grows upwards).
	struct UvRect
	{
		float U0 = 0.0f;
		float V0 = 0.0f;
		float U1 = 1.0f;
		float V1 = 1.0f;

		float U(float s) const { return U0 + s * (U1 - U0); }
		float V(float t) const { return V0 + t * (V1 - V0); }
	};

	namespace DroneLayout
	{
		// Quadrants of the albedo map; the painting in images.cpp follows the same layout.
		constexpr UvRect BODY{0.0f, 0.5f, 0.5f, 1.0f};
		constexpr UvRect ARMS{0.5f, 0.5f, 1.0f, 1.0f};
		constexpr UvRect MOTORS{0.0f, 0.0f, 0.5f, 0.5f};
		constexpr UvRect ROTORS{0.5f, 0.0f, 1.0f, 0.5f};
		// Motor sides wrap a strip along the bottom of the motor quadrant, motor caps a square above it.
		constexpr UvRect MOTOR_SIDES{0.0f, 0.0f, 0.5f, 0.2f};
		constexpr UvRect MOTOR_CAPS{0.1f, 0.2f, 0.4f, 0.5f};
		// The thin rim of a rotor disc takes a plain patch in a corner of the rotor quadrant.
		constexpr UvRect ROTOR_RIM{0.51f, 0.01f, 0.56f, 0.06f};
		// Plain patches in corners of the body quadrant, outside the top plate.
		constexpr UvRect BODY_SIDES{0.01f, 0.51f, 0.06f, 0.56f};
		constexpr UvRect NOSE{0.44f, 0.51f, 0.49f, 0.56f};
	} // namespace DroneLayout

	// A quad-copter: a faceted body with a nose pod at the front (-Z), four arms on the diagonals, a motor at
	// the end of each and a rotor disc above it. Y up, bounding box centred on the origin, 6.5 units across
	// in X and Z (8 units from rotor tip to rotor tip along a diagonal) and 0.6 units tall.
	MeshBuilder BuildDrone();
	// A UV sphere of radius 1 around the origin: 16 segments, 8 rings, smooth normals.
	// A UV sphere of radius 1 with smooth normals.
	MeshBuilder BuildSphere(int segments, int rings);
	MeshBuilder BuildLowPolySphere();
	// A cube from -1 to 1 on every axis, flat faces.
	MeshBuilder BuildCube();
	// A square from -1 to 1 on X and Z, facing +Y.
	MeshBuilder BuildPlane();
} // namespace VornAssetGen
