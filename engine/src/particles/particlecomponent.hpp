#pragma once

#include "ecs/componentbase.hpp"
#include "particles/particleemitter.hpp"

#include <memory>

namespace Vorn
{
	// Owns one particle emitter, created with the component and destroyed with it.
	class ParticleComponent : public ComponentBase
	{
	public:
		explicit ParticleComponent(const ParticleEmitter::Settings& settings);
		~ParticleComponent() override;
		ParticleComponent(const ParticleComponent&) = delete;
		ParticleComponent& operator=(const ParticleComponent&) = delete;

		ParticleEmitter* GetEmitter() { return Emitter.get(); }
		const ParticleEmitter* GetEmitter() const { return Emitter.get(); }

	private:
		std::unique_ptr<ParticleEmitter> Emitter;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::ParticleComponent);
