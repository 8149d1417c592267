#pragma once

#include "ecs/componentbase.hpp"
#include "math/vector.hpp"

#include <memory>

// Box2D's shape, named only: its header stays inside the engine's sources.
class b2PolygonShape;

namespace Vorn
{
	// An axis-aligned box centred on the body's origin.
	class Box2DColliderComponent : public ComponentBase
	{
	public:
		// Full extents; z and w are ignored.
		explicit Box2DColliderComponent(const Vector& size);
		~Box2DColliderComponent() override;

		// Changes the shape a fixture is created from; a fixture made already keeps its own copy.
		void SetSize(const Vector& size);
		const b2PolygonShape* GetShape() const { return Shape.get(); }

	private:
		std::unique_ptr<b2PolygonShape> Shape;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::Box2DColliderComponent);
