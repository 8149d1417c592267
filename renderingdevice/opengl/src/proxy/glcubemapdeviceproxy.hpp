#pragma once

#include "defines.hpp"
#include "rendering/icubemapdeviceproxy.hpp"

#include <cstddef>

namespace Vorn
{
	// A cubemap of RGB faces filled from float data, one face at a time. Owns the texture name; must die before
	// the device's context.
	class GLCubemapDeviceProxy : public ICubemapDeviceProxy
	{
	public:
		GLCubemapDeviceProxy(std::size_t width, std::size_t height);
		~GLCubemapDeviceProxy() override;
		GLCubemapDeviceProxy(const GLCubemapDeviceProxy&) = delete;
		GLCubemapDeviceProxy& operator=(const GLCubemapDeviceProxy&) = delete;

		void SetContent(eCubemapSide side, const float* data) override;

		u32 GetTextureID() const { return TextureID; }

	private:
		u64 Width = 0;
		u64 Height = 0;
		u32 TextureID = 0;
	};
} // namespace Vorn
