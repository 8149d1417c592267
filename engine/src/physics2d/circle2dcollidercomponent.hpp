#pragma once

#include "ecs/componentbase.hpp"

#include <memory>

// Box2D's shape, named only: its header stays inside the engine's sources.
class b2CircleShape;

namespace Vorn
{
	// A circle centred on the body's origin.
	class Circle2DColliderComponent : public ComponentBase
	{
	public:
		explicit Circle2DColliderComponent(float radius);
		~Circle2DColliderComponent() override;

		// Changes the shape a fixture is created from; a fixture made already keeps its own copy.
		void SetSize(float radius);
		const b2CircleShape* GetShape() const { return Shape.get(); }

	private:
		std::unique_ptr<b2CircleShape> Shape;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::Circle2DColliderComponent);
