#include "scenes/physics3dscene.hpp"

#include "ecs/entitytransform.hpp"
#include "math/quaternion.hpp"
#include "movement/freefloatmovementcomponent.hpp"
#include "movement/movementsystem.hpp"
#include "physics3d/collider3dcomponent.hpp"
#include "physics3d/physics3dshapes.hpp"
#include "physics3d/physics3dsystem.hpp"
#include "physics3d/rigidbody3dcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "support/samplestest.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornSamples::Physics3DSceneLayout;

namespace
{
	constexpr std::size_t SCENE = 3;
	const EnumFlags<eCollisionGroup> ALL_GROUPS = EnumFlags<eCollisionGroup>::FromMask(0xFFFFFFFF);

	int CountPyramidBoxes()
	{
		int count = 0;
		for (int layer = 0; layer < PYRAMID_LAYERS; ++layer)
			count += (PYRAMID_LAYERS - layer) * (PYRAMID_LAYERS - layer);
		return count;
	}

	class Physics3DSceneTest : public SamplesTest
	{
	protected:
		Physics3DSceneTest() { ShowScene(SCENE); }

		std::vector<Entity*> GetDynamicBodies(ePhysics3DShape shape)
		{
			std::vector<Entity*> bodies;
			for (auto [collider, body] : GetWorld()->IterateComponents<Collider3DComponent, Rigidbody3DComponent>())
				if (body->GetBodyType() == eRigidBody3DType::DYNAMIC && collider->GetShape().GetShapeType() == shape)
					bodies.push_back(body->GetOwner());
			return bodies;
		}

		std::vector<Entity*> GetAllDynamicBodies()
		{
			std::vector<Entity*> bodies = GetDynamicBodies(ePhysics3DShape::BOX);
			for (Entity* sphere : GetDynamicBodies(ePhysics3DShape::SPHERE))
				bodies.push_back(sphere);
			return bodies;
		}

		// The one collider without a rigid body.
		Entity* GetTrigger()
		{
			Entity* trigger = nullptr;
			for (auto [collider] : GetWorld()->IterateComponents<Collider3DComponent>())
				if (!collider->GetOwner()->GetComponent<Rigidbody3DComponent>())
				{
					EXPECT_EQ(trigger, nullptr) << "a second trigger";
					trigger = collider->GetOwner();
				}
			return trigger;
		}

		const Color& GetTriggerColor()
		{
			return GetTrigger()->GetComponent<MeshRenderingComponent>()->GetMaterial(0).Albedo;
		}

		// The dynamic body whose centre is nearest to `point`.
		Entity* FindBodyNear(const Vector& point)
		{
			Entity* nearest = nullptr;
			for (Entity* body : GetAllDynamicBodies())
				if (!nearest || (Position(body) - point).Length() < (Position(nearest) - point).Length())
					nearest = body;
			return nearest;
		}

		std::string GetStatusLine()
		{
			for (auto [text] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
				if (text->GetText().GetText().StartsWith("Balls: "))
					return text->GetText().GetText().GetCStr();
			return std::string();
		}

		// Puts the camera at `eye` looking at `target`, level (no roll), as flying and turning would.
		void AimCamera(const Vector& eye, const Vector& target)
		{
			const Vector direction = (target - eye).GetNormalized();
			const Angle yaw = Angle::FromRadians(std::atan2(-direction.x, -direction.z));
			const Angle pitch = Angle::FromRadians(std::asin(direction.y));
			EntityTransform& transform = GetContext().GetCamera()->GetTransform();
			transform.SetGlobalTranslation(eye);
			transform.SetGlobalRotation(Quaternion(Vector::UNIT_Y, yaw) * Quaternion(Vector::UNIT_X, pitch));
		}

		void Click()
		{
			GetEngine().MouseButtonDown(eMouseButton::LEFT);
			RunFrame();
			GetEngine().MouseButtonUp(eMouseButton::LEFT);
			RunFrame();
		}

		static Vector Position(const Entity* entity) { return entity->GetTransform().GetGlobalTranslation(); }
	};
} // namespace

TEST_F(Physics3DSceneTest, PyramidStandsStillWhenUntouched)
{
	const std::vector<Entity*> boxes = GetDynamicBodies(ePhysics3DShape::BOX);
	ASSERT_EQ(static_cast<int>(boxes.size()), CountPyramidBoxes());
	// The first steps press the boxes into each other by a hair; from then on nothing may move.
	RunFrames(FRAMES_PER_SECOND / 2);
	std::vector<Vector> starts;
	std::vector<Quaternion> rotations;
	for (Entity* box : boxes)
	{
		starts.push_back(Position(box));
		rotations.push_back(box->GetTransform().GetGlobalRotation());
	}

	RunFrames(5 * FRAMES_PER_SECOND);

	for (std::size_t i = 0; i < boxes.size(); ++i)
	{
		SCOPED_TRACE(testing::Message() << "box from " << starts[i]);
		EXPECT_LT((Position(boxes[i]) - starts[i]).Length(), 0.01f) << Position(boxes[i]);
		EXPECT_TRUE(boxes[i]->GetTransform().GetGlobalRotation().Equals(rotations[i], 1e-3f));
		EXPECT_LT(boxes[i]->GetComponent<Rigidbody3DComponent>()->GetLinearVelocity().Length(), 0.01f);
	}
}

TEST_F(Physics3DSceneTest, ShotBallFromTheStartingViewKnocksPyramidBoxesOver)
{
	const std::vector<Entity*> boxes = GetDynamicBodies(ePhysics3DShape::BOX);
	std::vector<Vector> starts;
	for (Entity* box : boxes)
		starts.push_back(Position(box));
	const std::size_t spheres = GetDynamicBodies(ePhysics3DShape::SPHERE).size();

	PressKey(eKey::SPACE);
	RunFrames(2 * FRAMES_PER_SECOND);

	EXPECT_EQ(GetDynamicBodies(ePhysics3DShape::SPHERE).size(), spheres + 1);
	int knocked = 0;
	for (std::size_t i = 0; i < boxes.size(); ++i)
		if ((Position(boxes[i]) - starts[i]).Length() > 0.3f)
			++knocked;
	EXPECT_GT(knocked, 0);
}

TEST_F(Physics3DSceneTest, ShotsPastTheBoundFireTheOldestBallAgain)
{
	const std::size_t spheres = GetDynamicBodies(ePhysics3DShape::SPHERE).size();
	for (int shot = 0; shot < MAX_BALLS; ++shot)
		PressKey(eKey::SPACE);
	EXPECT_EQ(GetStatusLine(),
	          "Balls: " + std::to_string(MAX_BALLS) + " of " + std::to_string(MAX_BALLS) + "   Trigger: empty");
	RunFrames(2 * FRAMES_PER_SECOND);
	// Every ball has flown off by now; the camera is a sure distance from all of them.
	const Vector eye = Position(GetContext().GetCamera());
	for (Entity* sphere : GetDynamicBodies(ePhysics3DShape::SPHERE))
		ASSERT_GT((Position(sphere) - eye).Length(), 5.0f);

	PressKey(eKey::SPACE);

	EXPECT_EQ(GetDynamicBodies(ePhysics3DShape::SPHERE).size(), spheres + MAX_BALLS);
	int nearCamera = 0;
	for (Entity* sphere : GetDynamicBodies(ePhysics3DShape::SPHERE))
		if ((Position(sphere) - eye).Length() < 3.0f)
			++nearCamera;
	EXPECT_EQ(nearCamera, 1) << "the oldest ball leaves the camera again";
}

TEST_F(Physics3DSceneTest, CentreClickPushesTheBodyTheRayHitsAndNothingElse)
{
	const struct
	{
		const char* Name;
		Vector Eye;
		Vector Target;
		bool IsBodyHit; // the dynamic body nearest to Target must move away along the ray
	} cases[] = {
	    {"the pyramid's top box", CAMERA_START, Vector(0.0f, (PYRAMID_LAYERS - 0.5f) * BOX_SIZE, 0.0f), true},
	    {"a sphere", CAMERA_START, Vector(-4.0f, 0.5f, 1.0f), true},
	    // The ray looks for bodies only, so the trigger's volume does not stop it.
	    {"a sphere behind the trigger", Vector(6.5f, 0.5f, 8.0f), Vector(3.5f, 0.5f, -3.5f), true},
	    {"the ground", CAMERA_START, Vector(-8.0f, 0.0f, 8.0f), false},
	    {"the sky", CAMERA_START, Vector(0.0f, 40.0f, -20.0f), false},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Name);
		// A fresh scene for each case: the menu first, then this scene again.
		ShowScene(0);
		ShowScene(SCENE);
		AimCamera(c.Eye, c.Target);
		RunFrame();
		const Vector forward = MovementSystem::GetGlobalForward(GetContext().GetCamera()->GetTransform());
		const std::vector<Entity*> bodies = GetAllDynamicBodies();
		std::vector<Vector> starts;
		for (Entity* body : bodies)
			starts.push_back(Position(body));
		Entity* target = FindBodyNear(c.Target);

		Click();
		RunFrames(FRAMES_PER_SECOND / 2);

		for (std::size_t i = 0; i < bodies.size(); ++i)
		{
			const Vector moved = Position(bodies[i]) - starts[i];
			if (c.IsBodyHit && bodies[i] == target)
			{
				EXPECT_GT(moved.Dot(forward), 0.2f) << "the hit body moved by " << moved;
			}
			else if (!c.IsBodyHit)
			{
				EXPECT_LT(moved.Length(), 0.01f) << "the body at " << starts[i] << " moved by " << moved;
			}
		}
	}
}

TEST_F(Physics3DSceneTest, TriggerTakesItsOccupiedColourWhileABodyIsInsideAndLosesItAfter)
{
	const Vector away(-10.0f, 0.5f, 10.0f);
	const struct
	{
		const char* Name;
		ePhysics3DShape Shape;
		Vector Inside; // where the body is put
		bool IsOccupied;
	} cases[] = {
	    {"a sphere in the middle", ePhysics3DShape::SPHERE, Vector(TRIGGER_CENTRE.x, 0.5f, TRIGGER_CENTRE.z), true},
	    {"a box at a corner", ePhysics3DShape::BOX,
	     Vector(TRIGGER_CENTRE.x + TRIGGER_HALF_EXTENTS.x - 0.3f, 0.5f,
	            TRIGGER_CENTRE.z - TRIGGER_HALF_EXTENTS.z + 0.3f),
	     true},
	    // Close enough for the physics' padded bounds to overlap, too far for a contact point.
	    {"a sphere a hair beside it", ePhysics3DShape::SPHERE,
	     Vector(TRIGGER_CENTRE.x - TRIGGER_HALF_EXTENTS.x - 0.53f, 0.5f, TRIGGER_CENTRE.z), false},
	};
	RunFrames(FRAMES_PER_SECOND / 4);
	ASSERT_EQ(GetTriggerColor(), TRIGGER_EMPTY_COLOR) << "the ground under the pad is no occupant";
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Name);
		Entity* body = GetDynamicBodies(c.Shape).back();
		body->GetTransform().SetGlobalTranslation(c.Inside);
		body->GetTransform().SetGlobalRotation(Quaternion());
		RunFrames(FRAMES_PER_SECOND / 4);

		EXPECT_EQ(GetTriggerColor(), c.IsOccupied ? TRIGGER_OCCUPIED_COLOR : TRIGGER_EMPTY_COLOR);
		EXPECT_NE(GetStatusLine().find(c.IsOccupied ? "Trigger: 1 inside" : "Trigger: empty"), std::string::npos)
		    << GetStatusLine();

		body->GetTransform().SetGlobalTranslation(away);
		RunFrames(FRAMES_PER_SECOND / 4);

		EXPECT_EQ(GetTriggerColor(), TRIGGER_EMPTY_COLOR);
		EXPECT_NE(GetStatusLine().find("Trigger: empty"), std::string::npos) << GetStatusLine();
	}
}

// Leaving the scene, for the menu or another scene, takes every body, collider and the camera's flying along;
// coming back builds it afresh.
TEST_F(Physics3DSceneTest, LeavingLeavesNoBodyInThePhysicsWorldAndComingBackStartsAnew)
{
	for (const std::size_t next : {std::size_t(0), std::size_t(2)})
	{
		SCOPED_TRACE(testing::Message() << "leaving for scene " << next);
		PressKey(eKey::SPACE);
		Click();
		RunFrames(FRAMES_PER_SECOND);

		ShowScene(next);

		EXPECT_EQ(CountComponents<Rigidbody3DComponent>(), 0u);
		EXPECT_EQ(CountComponents<Collider3DComponent>(), 0u);
		EXPECT_EQ(CountComponents<FreeFloatMovementComponent>(), 0u);
		// Rays through where the ground, the pyramid and the trigger were meet nothing in the physics world.
		for (const Vector& target : {Vector(0.0f, 0.5f, 0.0f), TRIGGER_CENTRE, Vector(-8.0f, -1.0f, 8.0f)})
			EXPECT_TRUE(Physics3DSystem::AllHitsRaycast(GetWorld(), CAMERA_START,
			                                            CAMERA_START + (target - CAMERA_START) * 2.0f, ALL_GROUPS,
			                                            ALL_GROUPS)
			                .Hits.IsEmpty());
		EXPECT_TRUE(Physics3DSystem::GetAllContactPairs(GetWorld()).ContactPairs.IsEmpty());

		ShowScene(SCENE);
		EXPECT_EQ(static_cast<int>(GetDynamicBodies(ePhysics3DShape::BOX).size()), CountPyramidBoxes());
		EXPECT_EQ(GetStatusLine(), "Balls: 0 of " + std::to_string(MAX_BALLS) + "   Trigger: empty");
	}
}
