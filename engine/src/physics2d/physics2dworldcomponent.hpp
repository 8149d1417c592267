#pragma once

#include "collections/dynarray.hpp"
#include "ecs/componentbase.hpp"
#include "math/vector.hpp"
#include "physics2d/physics2dconfig.hpp"
#include "physics2d/physics2dsystem.hpp"

#include <memory>
#include <unordered_map>

namespace Vorn
{
	class RigidBody2DComponent;
	// The Box2D world and its contact listener; defined in physics2dimpl.hpp, which only engine sources include.
	struct Physics2DWorldData;

	// A world's 2D simulation: the Box2D world, the time not yet simulated, and per body the bodies it touches.
	class Physics2DWorldComponent : public ComponentBase
	{
	public:
		struct Collision
		{
			RigidBody2DComponent* OtherBody = nullptr;
			// From the body owning the list towards OtherBody, in world space, as it was when the contact began.
			// Zero when either body is a sensor: Box2D computes no manifold for sensors.
			Vector Normal;
		};

		explicit Physics2DWorldComponent(const Physics2DConfig& config = Physics2DConfig());
		~Physics2DWorldComponent() override;
		Physics2DWorldComponent(const Physics2DWorldComponent&) = delete;
		Physics2DWorldComponent& operator=(const Physics2DWorldComponent&) = delete;

		const Physics2DConfig& GetConfig() const { return Config; }
		// The gravity of the configuration given at construction, whatever SetGravity did since.
		const Vector& GetGravity() const { return Config.Gravity; }
		// Changes the simulation's gravity (x and y) without touching the configuration.
		void SetGravity(const Vector& gravity) const;

		// The bodies `body` touches now, each once. A body that never touched anything gets one shared empty list.
		const Dynarray<Collision>& GetCollidingBodies(RigidBody2DComponent* body) const;

		float GetAccumulatedTime() const { return AccumulatedTime; }

		// For the engine's own physics code.
		Physics2DWorldData& GetImplData() const { return *ImplData; }

	private:
		Dynarray<Collision>& GetOrCreateCollisions(RigidBody2DComponent* body);

		float AccumulatedTime = 0.0f;
		Physics2DConfig Config;
		std::unique_ptr<Physics2DWorldData> ImplData;
		std::unordered_map<RigidBody2DComponent*, Dynarray<Collision>> CollidingBodies;

		friend class Physics2DContactListener;
		friend void Physics2DSystem::Physics2DUpdatePhase(World* world);
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::Physics2DWorldComponent);
