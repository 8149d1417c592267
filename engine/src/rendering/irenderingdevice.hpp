#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "rendering/icubemapdeviceproxy.hpp"
#include "rendering/imeshdeviceproxy.hpp"
#include "rendering/iparticledeviceproxy.hpp"
#include "rendering/itextfieldbufferdeviceproxy.hpp"
#include "rendering/itexturedeviceproxy.hpp"

#include <cstddef>
#include <exception>
#include <memory>

namespace Vorn
{
	class World;

	struct ScreenSize
	{
		i32 Width = 0;
		i32 Height = 0;
	};

	// Declared for devices whose set-up can fail in a recoverable way.
	class RenderingDeviceSetupFailedException : public BaseObject, public std::exception
	{
	public:
		~RenderingDeviceSetupFailedException() override;
	};

	// A device could not create the graphics objects behind a proxy.
	class RenderingDeviceProxyCreationFailedException : public BaseObject, public std::exception
	{
	public:
		~RenderingDeviceProxyCreationFailedException() override;
	};

	// The engine's only view of a graphics backend. A device library implements it and the engine owns
	// the instance; every proxy it hands out must be destroyed while the device still exists.
	class IRenderingDevice : public BaseObject
	{
	public:
		IRenderingDevice() = default;
		IRenderingDevice(const IRenderingDevice&) = default;
		IRenderingDevice(IRenderingDevice&&) = default;
		IRenderingDevice& operator=(const IRenderingDevice&) = default;
		IRenderingDevice& operator=(IRenderingDevice&&) = default;
		~IRenderingDevice() override;

		virtual void Resize(ScreenSize const& size) = 0;
		virtual ScreenSize const& GetScreenSize() const = 0;
		// Draws one frame of the world and presents it before returning.
		virtual void RenderWorld(World* world) = 0;
		// Second-stage set-up; the engine calls it before it creates the world.
		virtual void Init() = 0;

		virtual std::unique_ptr<ITextureDeviceProxy> CreateTexture(std::size_t width, std::size_t height,
		                                                           std::size_t channels, eTextureUsageType usage) = 0;
		virtual std::unique_ptr<ICubemapDeviceProxy> CreateCubemap(std::size_t width, std::size_t height) = 0;
		virtual std::unique_ptr<ITextFieldBufferDeviceProxy> CreateTextFieldBuffer() = 0;
		virtual std::unique_ptr<IMeshDeviceProxy> CreateMesh() = 0;
		virtual std::unique_ptr<IParticleDeviceProxy> CreateParticle() = 0;
	};
} // namespace Vorn
