#include "physics3d/collider3dcomponent.hpp"

#include "physics3d/physics3dimpl.hpp"
#include "physics3d/rigidbody3dcomponent.hpp"
#include "utils/check.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::Collider3DComponent);

namespace Vorn
{
	Collider3DComponent::Collider3DComponent(World* world, Collider3DComponentTemplate&& colliderTemplate)
	    : OwnerWorld(world)
	{
		Template.Shape = std::move(colliderTemplate.Shape);
		Template.Registered = colliderTemplate.Registered;
		Template.CollisionGroup = colliderTemplate.CollisionGroup;
		Template.CollisionMask = colliderTemplate.CollisionMask;
	}

	Collider3DComponent::~Collider3DComponent()
	{
		// A registered rigid body takes itself out; otherwise the trigger object goes here.
		const Rigidbody3DComponent* body = GetSibling<Rigidbody3DComponent>();
		const bool isBodyRegistered = body && body->IsInitialized() && body->IsRegistered();
		if (Initialized && Template.Registered && !isBodyRegistered)
			Physics3DSystem::UnregisterComponent(OwnerWorld, GetOwner());
	}

	void Collider3DComponent::DetachFromBody(bool isRegistered)
	{
		ImplData.reset();
		Initialized = false;
		Template.Registered = isRegistered;
	}

	void Collider3DComponent::SetShape(const Physics3DShape* shape)
	{
		VORN_CHECK(shape != nullptr, "Invalid shape!");
		VORN_CHECK(Initialized, "Collider must be initialized before its shape is set.");
		Template.Shape = std::make_unique<Physics3DShape>(*shape);
		ImplData->CollisionObject->setCollisionShape(Template.Shape->GetImplData().Shape.get());
	}
} // namespace Vorn
