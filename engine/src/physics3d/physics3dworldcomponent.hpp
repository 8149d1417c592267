#pragma once

#include "ecs/componentbase.hpp"
#include "math/vector.hpp"
#include "physics3d/physics3dconfig.hpp"

#include <memory>

namespace Vorn
{
	// Bullet's world and what it runs on; defined in physics3dimpl.hpp, which only engine sources include.
	struct Physics3DWorldData;

	// A world's 3D simulation: Bullet's dynamics world, the step length and the time not yet simulated.
	class Physics3DWorldComponent : public ComponentBase
	{
	public:
		explicit Physics3DWorldComponent(const Physics3DConfig& config = Physics3DConfig());
		~Physics3DWorldComponent() override;
		Physics3DWorldComponent(const Physics3DWorldComponent&) = delete;
		Physics3DWorldComponent& operator=(const Physics3DWorldComponent&) = delete;

		const Vector& GetGravity() const { return Gravity; }
		// Also reaches the bodies already in the world.
		void SetGravity(const Vector& gravity);
		float GetTimeStep() const { return TimeStep; }
		// Takes effect at the next update phase.
		void SetTimeStep(float timeStep) { TimeStep = timeStep; }

		float GetAccumulatedTime() const { return AccumulatedTime; }
		void SetAccumulatedTime(float time) { AccumulatedTime = time; }

		// For the engine's own physics code.
		Physics3DWorldData& GetImplData() const { return *ImplData; }

	private:
		float TimeStep;
		Vector Gravity;
		std::unique_ptr<Physics3DWorldData> ImplData;
		float AccumulatedTime = 0.0f;
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::Physics3DWorldComponent);
