#include "particles/particlecomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::ParticleComponent);

namespace Vorn
{
	ParticleComponent::ParticleComponent(const ParticleEmitter::Settings& settings)
	    : Emitter(new ParticleEmitter(settings))
	{
	}

	ParticleComponent::~ParticleComponent() = default;
} // namespace Vorn
