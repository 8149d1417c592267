#pragma once

#include "memory/baseobject.hpp"

namespace Vorn
{
	class ParticleEmitter;

	class IParticleDeviceProxy : public BaseObject
	{
	public:
		IParticleDeviceProxy() = default;
		IParticleDeviceProxy(const IParticleDeviceProxy&) = default;
		IParticleDeviceProxy(IParticleDeviceProxy&&) = default;
		IParticleDeviceProxy& operator=(const IParticleDeviceProxy&) = default;
		IParticleDeviceProxy& operator=(IParticleDeviceProxy&&) = default;
		~IParticleDeviceProxy() override;

		// Rebuilds the per-instance data from the emitter's live particles.
		virtual void Update(ParticleEmitter const& emitter) = 0;
	};
} // namespace Vorn
