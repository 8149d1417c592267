#include "images.hpp"

#include "models.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace VornAssetGen
{
	namespace
	{
		constexpr double PI = 3.14159265358979323846;

		struct Rgb
		{
			unsigned char R;
			unsigned char G;
			unsigned char B;
		};

		constexpr Rgb CHARCOAL{38, 40, 46};
		constexpr Rgb PLATE{64, 68, 78};
		constexpr Rgb SEAM{28, 30, 34};
		constexpr Rgb ORANGE{235, 120, 25};
		constexpr Rgb SIGNAL{40, 200, 230};
		constexpr Rgb NOSE_RED{200, 40, 30};
		constexpr Rgb ARM_GREY{92, 98, 108};
		constexpr Rgb ARM_EDGE{60, 64, 70};
		constexpr Rgb MOTOR_DARK{30, 30, 34};
		constexpr Rgb SILVER{175, 180, 188};
		constexpr Rgb ROTOR_BLUR{120, 128, 138};
		constexpr Rgb BLADE{35, 36, 40};
		constexpr Rgb HUB{20, 20, 22};
		constexpr Rgb ROTOR_RIM{170, 176, 184};
		constexpr Rgb BACKGROUND{90, 95, 105};

		double DistanceToSegment(double x, double y, double ax, double ay, double bx, double by)
		{
			const double dx = bx - ax;
			const double dy = by - ay;
			const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
			return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
		}

		bool IsInside(const UvRect& rect, double u, double v)
		{
			return u >= rect.U0 && u <= rect.U1 && v >= rect.V0 && v <= rect.V1;
		}

		// (x, y) relative to the quadrant's centre, y towards the front of the drone.
		Rgb PaintBodyTop(double x, double y)
		{
			const double radius = std::hypot(x, y);
			if (radius > 0.47)
				return CHARCOAL;
			if (DistanceToSegment(x, y, -0.2, 0.02, 0.0, 0.24) < 0.035 ||
			    DistanceToSegment(x, y, 0.0, 0.24, 0.2, 0.02) < 0.035)
				return ORANGE;
			if (std::hypot(x, y + 0.2) < 0.03)
				return SIGNAL;
			if (std::abs(radius - 0.31) < 0.008 || std::abs(x) < 0.006)
				return SEAM;
			return PLATE;
		}

		Rgb PaintArm(double along, double across)
		{
			if (along > 0.82 && along < 0.9)
				return ORANGE;
			if (across < 0.1 || across > 0.9)
				return ARM_EDGE;
			return ARM_GREY;
		}

		Rgb PaintMotor(double u, double v)
		{
			const UvRect& caps = DroneLayout::MOTOR_CAPS;
			if (IsInside(DroneLayout::MOTOR_SIDES, u, v))
			{
				const double t =
				    (v - DroneLayout::MOTOR_SIDES.V0) / (DroneLayout::MOTOR_SIDES.V1 - DroneLayout::MOTOR_SIDES.V0);
				return t > 0.55 && t < 0.72 ? SILVER : MOTOR_DARK;
			}
			const double radius = std::hypot(u - (caps.U0 + caps.U1) * 0.5, v - (caps.V0 + caps.V1) * 0.5);
			return radius < 0.03 || std::abs(radius - 0.1) < 0.008 ? SILVER : MOTOR_DARK;
		}

		// (x, y) relative to the rotor quadrant's centre, in quadrant widths.
		Rgb PaintRotor(double x, double y)
		{
			const double radius = std::hypot(x, y);
			if (radius > 0.48)
				return BACKGROUND;
			if (radius > 0.45)
				return ROTOR_RIM;
			if (radius < 0.05)
				return HUB;
			const double bladeAngle = 20.0 * PI / 180.0;
			const double across = std::abs(-std::sin(bladeAngle) * x + std::cos(bladeAngle) * y);
			if (across < 0.035 + 0.02 * (1.0 - radius / 0.45))
				return BLADE;
			return ROTOR_BLUR;
		}

		Rgb PaintDrone(double u, double v)
		{
			if (IsInside(DroneLayout::NOSE, u, v))
				return NOSE_RED;
			if (IsInside(DroneLayout::ROTOR_RIM, u, v))
				return ROTOR_RIM;
			if (u < 0.5 && v >= 0.5)
				return PaintBodyTop((u - 0.25) / 0.5, (v - 0.75) / 0.5);
			if (u >= 0.5 && v >= 0.5)
				return PaintArm((u - 0.5) / 0.5, (v - 0.5) / 0.5);
			if (u < 0.5)
				return PaintMotor(u, v);
			return PaintRotor((u - 0.75) / 0.5, (v - 0.25) / 0.5);
		}

		double SmoothStep(double edge0, double edge1, double x)
		{
			const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
			return t * t * (3.0 - 2.0 * t);
		}
		std::uint32_t HashCell(std::int64_t x, std::int64_t z)
		{
			std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^
			                  static_cast<std::uint64_t>(z) * 0xC2B2AE3D27D4EB4Full;
			h ^= h >> 31;
			h *= 0xBF58476D1CE4E5B9ull;
			h ^= h >> 29;
			return static_cast<std::uint32_t>(h);
		}

		double UnitFromHash(std::uint32_t hash, int shift) { return ((hash >> shift) & 0xFF) / 255.0; }

		// Brightness of the sand at (x, z) on the ground plane one unit below the viewer, around 1: long dunes,
		// ripples running across them, strongest on their slopes, and scattered dark stones. Its mean over a wide
		// area is 1, so the sky as a whole is as bright as without it. The plane has no pole, so the pattern
		// runs straight through the point below the viewer.
		double SandRelief(double x, double z)
		{
			// Across and along the wind.
			const double across = 0.6 * x - 0.8 * z;
			const double along = 0.8 * x + 0.6 * z;
			const double dunePhase = 2.0 * PI * across / 0.3 + 1.4 * std::sin(2.0 * PI * along / 0.9);
			const double dunes = 0.09 * std::sin(dunePhase);
			const double slope = std::abs(std::cos(dunePhase));
			const double ripples =
			    0.035 * slope * std::sin(2.0 * PI * across / 0.055 + 2.0 * std::sin(2.0 * PI * along / 0.21));

			constexpr double STONE_CELL = 0.15;
			constexpr double STONE_SHARE = 0.25;
			constexpr double STONE_DARKNESS = 0.28;
			const double cellX = std::floor(x / STONE_CELL);
			const double cellZ = std::floor(z / STONE_CELL);
			const std::uint32_t hash = HashCell(static_cast<std::int64_t>(cellX), static_cast<std::int64_t>(cellZ));
			double stone = 0.0;
			if (UnitFromHash(hash, 0) < STONE_SHARE)
			{
				// Each stone lies wholly inside its cell, so no neighbouring cell needs a look.
				const double radius = STONE_CELL * (0.12 + 0.18 * UnitFromHash(hash, 8));
				const double centreX =
				    (cellX + 0.5) * STONE_CELL + (STONE_CELL * 0.5 - radius) * (2.0 * UnitFromHash(hash, 16) - 1.0);
				const double centreZ =
				    (cellZ + 0.5) * STONE_CELL + (STONE_CELL * 0.5 - radius) * (2.0 * UnitFromHash(hash, 24) - 1.0);
				const double distance = std::hypot(x - centreX, z - centreZ);
				stone = STONE_DARKNESS * (1.0 - SmoothStep(radius * 0.6, radius, distance));
			}
			// The stones' mean darkening (the share of cells, times about the covered share of a cell) is given
			// back, so the mean stays 1.
			constexpr double MEAN_STONE_DARKENING = STONE_SHARE * STONE_DARKNESS * 0.1;
			return (1.0 + dunes + ripples - stone) / (1.0 - MEAN_STONE_DARKENING);
		}
	} // namespace

	ImageRGB8 PaintDroneAlbedo(int size)
	{
		ImageRGB8 image{size, size, {}};
		image.Pixels.reserve(static_cast<std::size_t>(size) * size * 3);
		for (int row = 0; row < size; ++row)
		{
			for (int column = 0; column < size; ++column)
			{
				// Texture coordinates of the texel centre; the top row of the file is v = 1.
				const double u = (column + 0.5) / size;
				const double v = 1.0 - (row + 0.5) / size;
				const Rgb colour = PaintDrone(u, v);
				image.Pixels.insert(image.Pixels.end(), {colour.R, colour.G, colour.B});
			}
		}
		return image;
	}

	ImageRGBA8 PaintSpritesheet(int frameSize)
	{
		constexpr int FRAMES_PER_SIDE = 4;
		const int size = frameSize * FRAMES_PER_SIDE;
		ImageRGBA8 image{size, size, {}};
		image.Pixels.reserve(static_cast<std::size_t>(size) * size * 4);
		for (int row = 0; row < size; ++row)
		{
			for (int column = 0; column < size; ++column)
			{
				const int frame = (row / frameSize) * FRAMES_PER_SIDE + column / frameSize;
				const double x = ((column % frameSize) + 0.5) / frameSize * 2.0 - 1.0;
				const double y = 1.0 - ((row % frameSize) + 0.5) / frameSize * 2.0;
				const double radius = std::sqrt(x * x + y * y);
				const double turn = 2.0 * PI * frame / (FRAMES_PER_SIDE * FRAMES_PER_SIDE);
				// Angle from the wedge's direction, folded into [0, pi].
				const double angle = std::abs(std::remainder(std::atan2(y, x) - turn, 2.0 * PI));
				const double ring = SmoothStep(0.55, 0.6, radius) * (1.0 - SmoothStep(0.85, 0.9, radius));
				const double wedge = (1.0 - SmoothStep(0.3, 0.45, angle)) * (1.0 - SmoothStep(0.85, 0.9, radius));
				const double alpha = std::max(ring, wedge);
				// Hue round the colour wheel, one turn over the sixteen frames.
				double rgb[3];
				for (int k = 0; k < 3; ++k)
					rgb[k] = 0.5 + 0.5 * std::cos(turn - 2.0 * PI * k / 3.0);
				const double brightness = 0.55 + 0.45 * wedge;
				for (int k = 0; k < 3; ++k)
					image.Pixels.push_back(static_cast<unsigned char>(std::lround(255.0 * brightness * rgb[k])));
				image.Pixels.push_back(static_cast<unsigned char>(std::lround(255.0 * alpha)));
			}
		}
		return image;
	}

	ImageRGBA8 PaintParticle(int size)
	{
		ImageRGBA8 image{size, size, {}};
		image.Pixels.reserve(static_cast<std::size_t>(size) * size * 4);
		for (int row = 0; row < size; ++row)
		{
			for (int column = 0; column < size; ++column)
			{
				const double x = (column + 0.5) / size * 2.0 - 1.0;
				const double y = (row + 0.5) / size * 2.0 - 1.0;
				const double alpha = 1.0 - SmoothStep(0.0, 1.0, std::sqrt(x * x + y * y));
				image.Pixels.insert(image.Pixels.end(),
				                    {255, 255, 255, static_cast<unsigned char>(std::lround(255.0 * alpha))});
			}
		}
		return image;
	}

	ImageRGBF MakeSkyPanorama(int width, int height)
	{
		const double sunElevation = 35.0 * PI / 180.0;
		const double sunAzimuth = 40.0 * PI / 180.0;
		const double sunDirection[3] = {std::cos(sunElevation) * std::cos(sunAzimuth), std::sin(sunElevation),
		                                std::cos(sunElevation) * std::sin(sunAzimuth)};
		const double sunRadius = 1.5 * PI / 180.0;

		const double zenith[3] = {0.04, 0.12, 0.55};
		const double horizon[3] = {0.85, 0.92, 1.05};
		// Sand, lightest straight down: the game's camera looks at the ground below the arena.
		const double groundNear[3] = {0.42, 0.34, 0.23};
		const double groundFar[3] = {0.55, 0.44, 0.29};
		const double sunColour[3] = {1.0, 0.93, 0.82};

		ImageRGBF image{width, height, {}};
		image.Pixels.reserve(static_cast<std::size_t>(width) * height * 3);
		for (int row = 0; row < height; ++row)
		{
			const double elevation = PI * (0.5 - (row + 0.5) / height);
			const double up = std::sin(elevation);
			for (int column = 0; column < width; ++column)
			{
				const double azimuth = 2.0 * PI * (column + 0.5) / width - PI;
				const double direction[3] = {std::cos(elevation) * std::cos(azimuth), up,
				                             std::cos(elevation) * std::sin(azimuth)};
				const double sunCosine =
				    direction[0] * sunDirection[0] + direction[1] * sunDirection[1] + direction[2] * sunDirection[2];
				const double sunAngle = std::acos(std::clamp(sunCosine, -1.0, 1.0));

				double colour[3];
				if (up >= 0.0)
				{
					const double towardsZenith = std::pow(up, 0.45);
					for (int k = 0; k < 3; ++k)
						colour[k] = horizon[k] + (zenith[k] - horizon[k]) * towardsZenith;
				}
				else
				{
					// A thin haze band keeps the horizon from being a hard edge.
					const double haze = 1.0 - SmoothStep(0.0, 0.06, -up);
					const double depth = std::pow(-up, 0.6);
					// Towards the horizon the ground plane's pattern shrinks below a texel: it fades out before
					// it would flicker.
					const double relief =
					    1.0 + (SandRelief(direction[0] / -up, direction[2] / -up) - 1.0) * SmoothStep(0.06, 0.3, -up);
					for (int k = 0; k < 3; ++k)
					{
						const double ground = (groundNear[k] + (groundFar[k] - groundNear[k]) * depth) * relief;
						colour[k] = ground + (horizon[k] * 0.6 - ground) * haze;
					}
				}

				const double glow =
				    0.6 * std::pow(std::max(sunCosine, 0.0), 300.0) + 0.15 * std::pow(std::max(sunCosine, 0.0), 12.0);
				const double disc = 120.0 * (1.0 - SmoothStep(sunRadius * 0.85, sunRadius, sunAngle));
				for (int k = 0; k < 3; ++k)
					image.Pixels.push_back(static_cast<float>(colour[k] + sunColour[k] * (glow + disc)));
			}
		}
		return image;
	}
} // namespace VornAssetGen
