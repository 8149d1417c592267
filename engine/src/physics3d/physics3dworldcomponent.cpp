#include "physics3d/physics3dworldcomponent.hpp"

#include "physics3d/physics3dimpl.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::Physics3DWorldComponent);

namespace Vorn
{
	Physics3DWorldComponent::Physics3DWorldComponent(const Physics3DConfig& config)
	    : TimeStep(config.TimeStep), Gravity(config.Gravity), ImplData(new Physics3DWorldData())
	{
		Physics3DWorldData& data = *ImplData;
		data.Configuration = std::make_unique<btDefaultCollisionConfiguration>();
		data.Dispatcher = std::make_unique<btCollisionDispatcher>(data.Configuration.get());
		data.Broadphase = std::make_unique<btDbvtBroadphase>();
		data.Solver = std::make_unique<btSequentialImpulseConstraintSolver>();
		data.DynamicsWorld = std::make_unique<btDiscreteDynamicsWorld>(data.Dispatcher.get(), data.Broadphase.get(),
		                                                               data.Solver.get(), data.Configuration.get());
		data.DynamicsWorld->setGravity(ToBullet(Gravity));
	}

	// The world's entities (and with them every body and collision object) are gone before world components, so the
	// dynamics world is empty here; it goes first, then what it used.
	Physics3DWorldComponent::~Physics3DWorldComponent() = default;

	void Physics3DWorldComponent::SetGravity(const Vector& gravity)
	{
		Gravity = gravity;
		ImplData->DynamicsWorld->setGravity(ToBullet(gravity));
	}
} // namespace Vorn
