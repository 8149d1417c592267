#include "physics2d/circle2dcollidercomponent.hpp"

#include <box2d/b2_circle_shape.h>

VORN_DEFINE_COMPONENT_TYPE(Vorn::Circle2DColliderComponent);

namespace Vorn
{
	Circle2DColliderComponent::Circle2DColliderComponent(float radius) : Shape(new b2CircleShape()) { SetSize(radius); }

	Circle2DColliderComponent::~Circle2DColliderComponent() = default;

	void Circle2DColliderComponent::SetSize(float radius) { Shape->m_radius = radius; }
} // namespace Vorn
