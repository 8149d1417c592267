#pragma once

// Box2D's side of the 2D physics. Only engine sources include this header: the public ones name these records
// without their definitions, so a game never needs Box2D's headers.

#include "math/angle.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "physics2d/physics2dcontactlistener.hpp"

#include <box2d/box2d.h>

#include <memory>

namespace Vorn
{
	struct Physics2DWorldData
	{
		explicit Physics2DWorldData(const b2Vec2& gravity) : Box2DWorld(gravity) {}

		b2World Box2DWorld;
		std::unique_ptr<Physics2DContactListener> ContactListener;
	};

	struct RigidBody2DData
	{
		b2BodyDef BodyDef;
		b2FixtureDef FixtureDef;
		b2Body* Body = nullptr;       // owned by the Box2D world
		b2Fixture* Fixture = nullptr; // owned by the body; null until a collider is found

		// The local values the last write-back gave the entity under an unmoved root, and the X and Y angles they
		// hold: an entity nobody touched since is recognised by these exact values, and its body need not be
		// teleported nor its rotation taken apart again.
		bool HasWrittenState = false;
		Vector WrittenTranslation;
		Quaternion WrittenRotation;
		Angle WrittenAngleX;
		Angle WrittenAngleY;
	};
} // namespace Vorn
