#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "rendering/iparticledeviceproxy.hpp"

namespace Vorn
{
	// One quad drawn instanced, once per live particle of an emitter, each instance with its own scale and
	// translation matrix (vertex attributes 3 to 6, one column each).
	class GLParticleDeviceProxy : public IParticleDeviceProxy
	{
	public:
		GLParticleDeviceProxy();
		~GLParticleDeviceProxy() override;
		GLParticleDeviceProxy(const GLParticleDeviceProxy&) = delete;
		GLParticleDeviceProxy& operator=(const GLParticleDeviceProxy&) = delete;

		void Update(ParticleEmitter const& emitter) override;

		// Draw its 6 vertices instanced once per live particle.
		u32 GetVAO() const { return VAO; }

	private:
		u32 VAO = 0;
		u32 VBO = 0;
		u32 InstancesVBO = 0;
		Dynarray<float> InstancesTransform;
	};
} // namespace Vorn
