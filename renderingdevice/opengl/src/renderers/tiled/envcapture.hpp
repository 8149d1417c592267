#pragma once

#include "defines.hpp"
#include "glshaderprogram.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	class GLRenderingDevice;
	class SkyboxWorldComponent;

	// Turns the sky's equirectangular panorama into the cubemaps of image-based lighting, once: the environment
	// itself (also drawn as the skybox), its diffuse irradiance, and a specular map whose first five mip levels
	// are prefiltered for roughness 0, 0.25, 0.5, 0.75 and 1. All three are RGB16F; sampled with a direction,
	// each gives the light arriving from that direction.
	class EnvCapture : public BaseObject
	{
	public:
		static constexpr i32 ENVIRONMENT_SIZE = 512;
		static constexpr i32 IRRADIANCE_SIZE = 32;
		static constexpr i32 PREFILTER_SIZE = 512;
		static constexpr i32 PREFILTER_RENDERED_LEVELS = 5;

		// Builds the three capture programs; nothing is captured yet.
		explicit EnvCapture(GLRenderingDevice* device);
		~EnvCapture() override;
		EnvCapture(const EnvCapture&) = delete;
		EnvCapture& operator=(const EnvCapture&) = delete;

		// Captures the three cubemaps from the skybox's panorama and clears the dirty flag. Without a panorama it
		// only logs and stays dirty, so the renderer tries again next frame. Draws with the current depth and
		// culling state and leaves the viewport at the last level's size.
		void UpdateEnv(SkyboxWorldComponent const* skybox);

		// Deletes the three cubemaps while the context still exists; the destructor then has nothing left to
		// delete. A later UpdateEnv captures again.
		void Release();

		// True until a capture has happened; set again only by Release.
		bool GetIsDirty() const { return IsDirty; }
		// Cubemap names, 0 until captured.
		u32 GetEnvCubemap() const { return EnvCubemap; }
		u32 GetIrradianceMap() const { return IrradianceMap; }
		u32 GetPrefilterMap() const { return PrefilterMap; }

	private:
		void CaptureCubemap(SkyboxWorldComponent const* skybox);
		void CaptureIrradiance();
		void CaptureSpecularPrefilteredMap();

		bool IsDirty = true;
		GLRenderingDevice* RDI = nullptr;
		u32 PanoramaTextureID = 0; // borrowed from the panorama's resource
		u32 EnvCubemap = 0;
		u32 IrradianceMap = 0;
		u32 PrefilterMap = 0;
		GLShaderProgram EquiToCubemapShader;
		GLShaderProgram IrradianceShader;
		GLShaderProgram PrefilterShader;
	};
} // namespace Vorn
