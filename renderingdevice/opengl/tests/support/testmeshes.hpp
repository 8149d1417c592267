#pragma once

#include <cmath>
#include <sstream>
#include <string>

// A UV sphere of radius 1 with normals and texture coordinates, wound counter-clockwise seen from outside.
inline std::string SphereObj()
{
	constexpr int rings = 24;
	constexpr int segments = 48;
	constexpr double pi = 3.14159265358979323846;
	std::ostringstream obj;
	for (int ring = 0; ring <= rings; ++ring)
	{
		for (int segment = 0; segment <= segments; ++segment)
		{
			const double polar = pi * ring / rings;
			const double azimuth = 2.0 * pi * segment / segments;
			const double x = std::sin(polar) * std::cos(azimuth);
			const double y = std::cos(polar);
			const double z = -std::sin(polar) * std::sin(azimuth);
			obj << "v " << x << " " << y << " " << z << "\n";
			obj << "vn " << x << " " << y << " " << z << "\n";
			obj << "vt " << static_cast<double>(segment) / segments << " " << 1.0 - static_cast<double>(ring) / rings
			    << "\n";
		}
	}
	const auto index = [](int ring, int segment) { return ring * (segments + 1) + segment + 1; };
	const auto face = [&obj](int a, int b, int c)
	{
		obj << "f " << a << "/" << a << "/" << a << " " << b << "/" << b << "/" << b << " " << c << "/" << c << "/" << c
		    << "\n";
	};
	for (int ring = 0; ring < rings; ++ring)
	{
		for (int segment = 0; segment < segments; ++segment)
		{
			const int a = index(ring, segment);
			const int b = index(ring + 1, segment);
			const int c = index(ring + 1, segment + 1);
			const int d = index(ring, segment + 1);
			// The poles would give triangles without area.
			if (ring != rings - 1)
				face(a, b, c);
			if (ring != 0)
				face(a, c, d);
		}
	}
	return obj.str();
}
