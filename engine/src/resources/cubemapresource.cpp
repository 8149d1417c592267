#include "resources/cubemapresource.hpp"

#include "engine.hpp"
#include "resources/image.hpp"
#include "utils/console.hpp"

#include <cstddef>
#include <vector>

namespace Vorn
{
	namespace
	{
		struct SideImage
		{
			int Width = 0;
			int Height = 0;
			int Channels = 0;
		};

		// The device reads every face as width x height texels of three floats, at the cubemap's size. A side
		// that is smaller or has another channel count is copied into such a buffer first (bottom-left aligned,
		// grey replicated, alpha dropped) instead of being read past its end.
		std::vector<float> MakeFace(const float* image, const SideImage& side, int width, int height)
		{
			std::vector<float> face(static_cast<std::size_t>(width) * height * 3, 0.0f);
			for (int y = 0; y < side.Height; ++y)
			{
				for (int x = 0; x < side.Width; ++x)
				{
					const float* source = image + (static_cast<std::size_t>(y) * side.Width + x) * side.Channels;
					float* target = face.data() + (static_cast<std::size_t>(y) * width + x) * 3;
					const bool isGrey = side.Channels < 3;
					target[0] = source[0];
					target[1] = isGrey ? source[0] : source[1];
					target[2] = isGrey ? source[0] : source[2];
				}
			}
			return face;
		}
	} // namespace

	CubemapResource::CubemapResource(EnumArray<String, eCubemapSide> paths)
	{
		gConsole.LogInfo("CubemapResource::CubemapResource path:{}", paths[eCubemapSide::NEGATIVE_X]);

		EnumArray<SideImage, eCubemapSide> sides;
		for (u64 index = 0; index < EnumSize<eCubemapSide>(); ++index)
		{
			const eCubemapSide side = static_cast<eCubemapSide>(index);
			SideImage& image = sides[side];
			Images[side] = LoadImageHDR(EvaluateFullResourcePath(eResourceSource::ENGINE, paths[side]), &image.Width,
			                            &image.Height, &image.Channels);
			if (!Images[side])
			{
				for (float*& loaded : Images)
				{
					FreeImageHDR(loaded);
					loaded = nullptr;
				}
				throw ResourceLoadFailedException();
			}
			Width = image.Width > Width ? image.Width : Width;
			Height = image.Height > Height ? image.Height : Height;
		}

		try
		{
			TextureProxy = gEngine->GetRenderingDevice()->CreateCubemap(Width, Height);
			for (u64 index = 0; index < EnumSize<eCubemapSide>(); ++index)
			{
				const eCubemapSide side = static_cast<eCubemapSide>(index);
				const SideImage& image = sides[side];
				if (image.Width == Width && image.Height == Height && image.Channels == 3)
				{
					TextureProxy->SetContent(side, Images[side]);
				}
				else
				{
					const std::vector<float> face = MakeFace(Images[side], image, Width, Height);
					TextureProxy->SetContent(side, face.data());
				}
			}
		}
		catch (...)
		{
			for (float*& image : Images)
				FreeImageHDR(image);
			throw;
		}

		for (float*& image : Images)
		{
			FreeImageHDR(image);
			image = nullptr;
		}
	}

	CubemapResource::~CubemapResource() = default;
} // namespace Vorn
