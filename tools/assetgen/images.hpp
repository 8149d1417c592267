#pragma once

#include <vector>

namespace VornAssetGen
{
	// Rows top row first, channels interleaved.
	struct ImageRGB8
	{
		int Width = 0;
		int Height = 0;
		std::vector<unsigned char> Pixels;
	};

	struct ImageRGBF
	{
		int Width = 0;
		int Height = 0;
		std::vector<float> Pixels;
	};

	// The drone's albedo map, painted region by region after the UV layout of the drone model.
	struct ImageRGBA8
	{
		int Width = 0;
		int Height = 0;
		std::vector<unsigned char> Pixels;
	};

	ImageRGB8 PaintDroneAlbedo(int size);
	// A 4x4 sprite sheet of `frameSize`-pixel frames, row by row from the top left: a ring whose bright wedge turns
	// a sixteenth of a turn per frame while its colour goes once round the hues, on a transparent background.
	ImageRGBA8 PaintSpritesheet(int frameSize);
	// A soft white dot whose alpha falls smoothly to zero at the edge.
	ImageRGBA8 PaintParticle(int size);
	// An equirectangular sky in linear radiance: deep blue at the zenith, pale towards the horizon, a darker
	// ground below it and a sun disc far brighter than 1 with a soft glow around it.
	ImageRGBF MakeSkyPanorama(int width, int height);
} // namespace VornAssetGen
