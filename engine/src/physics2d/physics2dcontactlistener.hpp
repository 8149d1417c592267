#pragma once

#include <box2d/b2_world_callbacks.h>

namespace Vorn
{
	class Physics2DWorldComponent;

	// Keeps every body's list of touching bodies up to date while Box2D steps (and while it destroys bodies).
	class Physics2DContactListener : public b2ContactListener
	{
	public:
		explicit Physics2DContactListener(Physics2DWorldComponent* worldComponent) : WorldComponent(worldComponent) {}

		void BeginContact(b2Contact* contact) override;
		void EndContact(b2Contact* contact) override;

	private:
		Physics2DWorldComponent* WorldComponent;
	};
} // namespace Vorn
