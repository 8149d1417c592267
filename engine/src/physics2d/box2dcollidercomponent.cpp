#include "physics2d/box2dcollidercomponent.hpp"

#include <box2d/b2_polygon_shape.h>

VORN_DEFINE_COMPONENT_TYPE(Vorn::Box2DColliderComponent);

namespace Vorn
{
	Box2DColliderComponent::Box2DColliderComponent(const Vector& size) : Shape(new b2PolygonShape()) { SetSize(size); }

	Box2DColliderComponent::~Box2DColliderComponent() = default;

	void Box2DColliderComponent::SetSize(const Vector& size) { Shape->SetAsBox(size.x * 0.5f, size.y * 0.5f); }
} // namespace Vorn
