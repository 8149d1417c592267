#include "physics2d/box2dcollidercomponent.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"

// A game sees these headers alone; none of them may bring Box2D's along.
#if defined(B2_API)
#error "The engine's 2D physics headers include Box2D's"
#endif

#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "math/quaternion.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	constexpr float GRAVITY = 9.81f;
	const float STEP = Physics2DConfig().TimeStep;
	const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

	int CountOccurrences(const std::string& text, const std::string& what)
	{
		int count = 0;
		for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
			++count;
		return count;
	}

	// A running engine (manual clock, headless device) whose world gets 2D bodies directly under its root.
	class Physics2DTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Harness.Init(); }

		World* GetWorld() { return Harness.GetWorld(); }
		Physics2DWorldComponent& Physics() { return *GetWorld()->GetWorldComponent<Physics2DWorldComponent>(); }

		RigidBody2DComponent* SpawnBody(eRigidBody2DType type, const Vector& position, float circleRadius,
		                                float density = 1.0f, float friction = 0.2f)
		{
			Entity* entity = SpawnEntity(position);
			if (circleRadius > 0.0f)
				GetWorld()->AddComponent<Circle2DColliderComponent>(entity, circleRadius);
			return GetWorld()->AddComponent<RigidBody2DComponent>(entity, GetWorld(), type, density, friction);
		}

		RigidBody2DComponent* SpawnBox(eRigidBody2DType type, const Vector& position, const Vector& size,
		                               float density = 1.0f, float friction = 0.2f)
		{
			Entity* entity = SpawnEntity(position);
			GetWorld()->AddComponent<Box2DColliderComponent>(entity, size);
			return GetWorld()->AddComponent<RigidBody2DComponent>(entity, GetWorld(), type, density, friction);
		}

		Entity* SpawnEntity(const Vector& position)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetGlobalTranslation(position);
			return entity;
		}

		// A static floor whose top is at y = 0.
		void SpawnGround()
		{
			SpawnBox(eRigidBody2DType::STATIC, Vector(0.0f, -0.5f, 0.0f), Vector(100.0f, 1.0f, 1.0f));
		}

		void RunFrames(int count, u64 milliseconds = 10)
		{
			for (int frame = 0; frame < count; ++frame)
				Harness.RunFrame(milliseconds);
		}

		static const Vector& Position(const RigidBody2DComponent* body)
		{
			return body->GetTransform().GetGlobalTranslation();
		}

		TestEngine Harness;
	};

	using Physics2DDeathTest = Physics2DTest;
} // namespace

// Steps are counted through a free-falling body: each step adds g * TimeStep to its speed.
TEST(Physics2DStepTest, FramesStepTheSimulationInFixedStepsAndCarryTheRemainder)
{
	const struct
	{
		const char* Name;
		std::vector<u64> FrameMilliseconds;
		int Steps;
		float Remainder;
	} cases[] = {
	    {"a frame shorter than a step steps nothing", {10}, 0, 0.010f},
	    {"the carried time completes a step", {10, 10}, 1, 0.020f - STEP},
	    {"a long frame takes every step that fits", {40}, 2, 0.040f - 2 * STEP},
	    {"a zero frame adds nothing", {0}, 0, 0.0f},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Name);
		TestEngine harness;
		harness.Init();
		World* world = harness.GetWorld();
		Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
		world->AddComponent<Circle2DColliderComponent>(entity, 0.5f);
		RigidBody2DComponent* body =
		    world->AddComponent<RigidBody2DComponent>(entity, world, eRigidBody2DType::DYNAMIC, 1.0f, 0.2f);

		for (const u64 milliseconds : c.FrameMilliseconds)
			harness.RunFrame(milliseconds);

		EXPECT_NEAR(-body->GetLinearVelocity().y / (GRAVITY * STEP), c.Steps, 1e-3);
		EXPECT_NEAR(world->GetWorldComponent<Physics2DWorldComponent>()->GetAccumulatedTime(), c.Remainder, 1e-6);
	}
}

TEST_F(Physics2DTest, ZeroDeltaFrameStillCopiesEntityToBodyAndBodyToEntity)
{
	RigidBody2DComponent* body = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(0.0f, 0.0f, 0.0f), 0.5f);
	RunFrames(1, 0);

	body->GetTransform().SetGlobalTranslation(Vector(5.0f, 7.0f, 3.0f));
	RunFrames(1, 0);
	// The body was teleported: it now falls from there.
	RunFrames(2, 10);
	EXPECT_NEAR(Position(body).x, 5.0f, 1e-5f);
	EXPECT_LT(Position(body).y, 7.0f);
	EXPECT_GT(Position(body).y, 6.9f);
	EXPECT_EQ(Position(body).z, 3.0f);

	// A value the body refuses is replaced by the body's own state in the same zero frame.
	const Vector before = Position(body);
	body->GetTransform().SetGlobalTranslation(Vector(NOT_A_NUMBER, 1.0f, 3.0f));
	RunFrames(1, 0);
	EXPECT_EQ(Position(body).x, before.x);
	EXPECT_EQ(Position(body).y, before.y);
}

TEST_F(Physics2DTest, FreeFallMatchesHalfGTSquaredAndOnlyTheZAngleFollowsTheBody)
{
	Entity* entity = SpawnEntity(Vector(0.0f, 100.0f, 4.0f));
	const EulerAngles tilt(Angle::FromDegrees(20.0f), Angle::FromDegrees(10.0f), Angle::FromRadians(0.0f));
	entity->GetTransform().SetGlobalRotation(Quaternion(tilt));
	GetWorld()->AddComponent<Circle2DColliderComponent>(entity, 0.5f);
	RigidBody2DComponent* body =
	    GetWorld()->AddComponent<RigidBody2DComponent>(entity, GetWorld(), eRigidBody2DType::DYNAMIC, 1.0f, 0.2f);
	body->SetAngularVelocity(0.5f);

	// One second of gameplay time: 60 steps of 1/60 s, give or take one for the float sum.
	RunFrames(100, 10);

	const int steps = static_cast<int>(std::lround(-body->GetLinearVelocity().y / (GRAVITY * STEP)));
	EXPECT_GE(steps, 59);
	EXPECT_LE(steps, 60);
	const float time = steps * STEP;
	const float fallen = 100.0f - Position(body).y;
	EXPECT_NEAR(fallen, 0.5f * GRAVITY * time * time, 0.02f * 0.5f * GRAVITY * time * time);
	EXPECT_EQ(Position(body).x, 0.0f);
	EXPECT_EQ(Position(body).z, 4.0f);

	const EulerAngles angles = body->GetTransform().GetGlobalRotation().ToEulerAngles();
	EXPECT_NEAR(angles.X.AsDegrees(), 20.0f, 1e-2f);
	EXPECT_NEAR(angles.Y.AsDegrees(), 10.0f, 1e-2f);
	EXPECT_NEAR(angles.Z.AsRadians(), 0.5f * time, 1e-3f);
}

TEST_F(Physics2DTest, UnderAMovedRootBodiesFollowTheGlobalTransform)
{
	GetWorld()->GetRoot()->GetTransform().SetLocalTranslation(Vector(10.0f, 0.0f, 2.0f));
	RigidBody2DComponent* body = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(0.0f, 50.0f, 2.0f), 0.5f);
	RunFrames(1, 0);
	EXPECT_EQ(body->GetTransform().GetLocalTranslation().x, -10.0f);

	RunFrames(50, 10);

	EXPECT_NEAR(Position(body).x, 0.0f, 1e-4f);
	EXPECT_LT(Position(body).y, 49.0f);
	EXPECT_NEAR(Position(body).z, 2.0f, 1e-4f);
	body->GetTransform().SetGlobalTranslation(Vector(3.0f, 50.0f, 2.0f));
	RunFrames(1, 0);
	EXPECT_NEAR(Position(body).x, 3.0f, 1e-4f) << "a teleport under a moved root reaches the body";
}

TEST_F(Physics2DTest, TouchingBodiesListEachOtherOnceWithOppositeNormalsUntilTheyPart)
{
	Physics().SetGravity(Vector(0.0f, 0.0f, 0.0f));
	RigidBody2DComponent* left =
	    SpawnBox(eRigidBody2DType::DYNAMIC, Vector(0.0f, 0.0f, 0.0f), Vector(1.0f, 1.0f, 1.0f));
	RigidBody2DComponent* right =
	    SpawnBox(eRigidBody2DType::DYNAMIC, Vector(0.95f, 0.0f, 0.0f), Vector(1.0f, 1.0f, 1.0f));
	RigidBody2DComponent* loner = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(50.0f, 0.0f, 0.0f), 0.5f);

	RunFrames(2, 10);

	const Dynarray<Physics2DWorldComponent::Collision>& leftContacts = Physics().GetCollidingBodies(left);
	const Dynarray<Physics2DWorldComponent::Collision>& rightContacts = Physics().GetCollidingBodies(right);
	ASSERT_EQ(leftContacts.GetSize(), 1u);
	ASSERT_EQ(rightContacts.GetSize(), 1u);
	EXPECT_EQ(leftContacts[0].OtherBody, right);
	EXPECT_EQ(rightContacts[0].OtherBody, left);
	EXPECT_TRUE(leftContacts[0].Normal.Equals(Vector(1.0f, 0.0f, 0.0f), 1e-4f)) << leftContacts[0].Normal;
	EXPECT_TRUE(rightContacts[0].Normal.Equals(Vector(-1.0f, 0.0f, 0.0f), 1e-4f)) << rightContacts[0].Normal;

	// Never touched: the shared empty list, and no entry is made for it.
	const Dynarray<Physics2DWorldComponent::Collision>& none = Physics().GetCollidingBodies(loner);
	EXPECT_EQ(none.GetSize(), 0u);
	EXPECT_EQ(&none, &Physics().GetCollidingBodies(nullptr));

	right->GetTransform().SetGlobalTranslation(Vector(10.0f, 0.0f, 0.0f));
	RunFrames(2, 10);
	EXPECT_EQ(Physics().GetCollidingBodies(left).GetSize(), 0u);
	EXPECT_EQ(Physics().GetCollidingBodies(right).GetSize(), 0u);
	EXPECT_NE(&Physics().GetCollidingBodies(left), &none) << "a body that touched keeps its own, emptied list";
}

TEST_F(Physics2DTest, DestroyedTouchingBodyLeavesTheOtherBodysList)
{
	Physics().SetGravity(Vector(0.0f, 0.0f, 0.0f));
	RigidBody2DComponent* kept =
	    SpawnBox(eRigidBody2DType::DYNAMIC, Vector(0.0f, 0.0f, 0.0f), Vector(1.0f, 1.0f, 1.0f));
	RigidBody2DComponent* doomed = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(0.9f, 0.0f, 0.0f), 0.5f);
	RunFrames(2, 10);
	ASSERT_EQ(Physics().GetCollidingBodies(kept).GetSize(), 1u);

	DeferredTaskSystem::DestroyEntityImmediate(GetWorld(), doomed->GetOwner());

	EXPECT_EQ(Physics().GetCollidingBodies(kept).GetSize(), 0u);
}

TEST_F(Physics2DTest, SensorContactsAreListedWithAZeroNormal)
{
	Physics().SetGravity(Vector(0.0f, 0.0f, 0.0f));
	RigidBody2DComponent* solid = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(0.0f, 0.0f, 0.0f), 0.5f);
	Entity* sensorEntity = SpawnEntity(Vector(0.5f, 0.0f, 0.0f));
	GetWorld()->AddComponent<Circle2DColliderComponent>(sensorEntity, 0.5f);
	RigidBody2DComponent* sensor = GetWorld()->AddComponent<RigidBody2DComponent>(
	    sensorEntity, GetWorld(), eRigidBody2DType::STATIC, RigidBody2DSensorTag());

	RunFrames(2, 10);

	ASSERT_EQ(Physics().GetCollidingBodies(solid).GetSize(), 1u);
	EXPECT_EQ(Physics().GetCollidingBodies(solid)[0].OtherBody, sensor);
	EXPECT_EQ(Physics().GetCollidingBodies(solid)[0].Normal, Vector(0.0f, 0.0f, 0.0f));
	EXPECT_EQ(Position(solid).x, 0.0f) << "a sensor never pushes";
}

TEST_F(Physics2DTest, EachBodyTypeTakesOnlyTheMotionItAccepts)
{
	Physics().SetGravity(Vector(0.0f, 0.0f, 0.0f));
	const struct
	{
		eRigidBody2DType Type;
		bool TakesVelocity;
		bool TakesForce;
	} cases[] = {
	    {eRigidBody2DType::STATIC, false, false},
	    {eRigidBody2DType::KINEMATIC, true, false},
	    {eRigidBody2DType::DYNAMIC, true, true},
	};
	// A circle of radius 0.5 and density 1 has a mass of pi / 4.
	const float mass = 3.14159265f * 0.25f;
	for (const auto& c : cases)
	{
		SCOPED_TRACE(static_cast<int>(c.Type));
		RigidBody2DComponent* body = SpawnBody(c.Type, Vector(0.0f, 0.0f, 0.0f), 0.5f);
		RunFrames(1, 0);

		body->SetLinearVelocity(Vector(1.0f, 2.0f, 0.0f));
		body->SetAngularVelocity(3.0f);
		EXPECT_EQ(body->GetLinearVelocity(), c.TakesVelocity ? Vector(1.0f, 2.0f, 0.0f) : Vector(0.0f, 0.0f, 0.0f));
		EXPECT_EQ(body->GetAngularVelocity(), c.TakesVelocity ? 3.0f : 0.0f);
		body->SetLinearVelocity(Vector(0.0f, 0.0f, 0.0f));
		body->SetAngularVelocity(0.0f);

		body->ApplyImpulseToCenter(Vector(2.0f, 0.0f, 0.0f));
		EXPECT_NEAR(body->GetLinearVelocity().x, c.TakesForce ? 2.0f / mass : 0.0f, 1e-4f);
		body->SetLinearVelocity(Vector(0.0f, 0.0f, 0.0f));

		// A force acts during the next step.
		body->ApplyForceToCenter(Vector(0.0f, 6.0f, 0.0f));
		RunFrames(2, 10);
		EXPECT_NEAR(body->GetLinearVelocity().y, c.TakesForce ? 6.0f / mass * STEP : 0.0f, 1e-4f);
	}
}

// Where a dropped body comes to rest tells which shape its fixture got.
TEST_F(Physics2DTest, FixtureShapeIsTheBoxWhenThereIsOneAndIsFixedAtTheFirstPhase)
{
	SpawnGround();
	Entity* both = SpawnEntity(Vector(-10.0f, 5.0f, 0.0f));
	GetWorld()->AddComponent<Circle2DColliderComponent>(both, 0.5f);
	GetWorld()->AddComponent<Box2DColliderComponent>(both, Vector(4.0f, 4.0f, 1.0f));
	RigidBody2DComponent* boxWins =
	    GetWorld()->AddComponent<RigidBody2DComponent>(both, GetWorld(), eRigidBody2DType::DYNAMIC, 1.0f, 0.5f);
	RigidBody2DComponent* resized = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(10.0f, 5.0f, 0.0f), 0.5f);

	RunFrames(1, 20);
	resized->GetSibling<Circle2DColliderComponent>()->SetSize(3.0f);
	RunFrames(300, 10);

	EXPECT_NEAR(Position(boxWins).y, 2.0f, 0.05f);
	EXPECT_NEAR(Position(resized).y, 0.5f, 0.05f);
}

TEST_F(Physics2DTest, SetGravityMovesTheSimulationButGetGravityKeepsTheConfiguration)
{
	RigidBody2DComponent* body = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(0.0f, 0.0f, 0.0f), 0.5f);
	Physics().SetGravity(Vector(0.0f, 4.0f, 0.0f));
	RunFrames(10, 10);

	EXPECT_GT(Position(body).y, 0.0f);
	EXPECT_EQ(Physics().GetGravity(), Vector(0.0f, -9.81f, 0.0f));
}

TEST_F(Physics2DTest, BodyWithoutColliderIsReportedEveryPhaseUntilOneIsAdded)
{
	Entity* entity = SpawnEntity(Vector(0.0f, 10.0f, 0.0f));
	RigidBody2DComponent* body =
	    GetWorld()->AddComponent<RigidBody2DComponent>(entity, GetWorld(), eRigidBody2DType::DYNAMIC, 2.0f, 0.2f);
	ConsoleCapture console;

	RunFrames(3, 10);
	EXPECT_EQ(CountOccurrences(console.GetText(), "[ERROR] There is no collider on rigidbody!"), 3);
	EXPECT_EQ(body->GetDensity(), 2.0f) << "before the fixture exists the density is the one it will get";

	GetWorld()->AddComponent<Circle2DColliderComponent>(entity, 0.5f);
	body->SetDensity(4.0f);
	RunFrames(3, 10);
	EXPECT_EQ(CountOccurrences(console.GetText(), "[ERROR] There is no collider on rigidbody!"), 3);
	EXPECT_EQ(body->GetDensity(), 4.0f);
}

TEST_F(Physics2DTest, NonFiniteValuesAreRefusedWithTheEntityNamedAndTheBodyKeepsItsState)
{
	Physics().SetGravity(Vector(0.0f, 0.0f, 0.0f));
	const float infinity = std::numeric_limits<float>::infinity();
	const struct
	{
		const char* Name;
		void (*Apply)(RigidBody2DComponent* body, float bad);
		const char* What;
	} cases[] = {
	    {"position",
	     [](RigidBody2DComponent* body, float bad)
	     { body->GetTransform().SetGlobalTranslation(Vector(bad, 0.0f, 0.0f)); },
	     "position"},
	    {"angle",
	     [](RigidBody2DComponent* body, float bad)
	     { body->GetTransform().SetGlobalRotation(Quaternion(bad, 0.0f, 0.0f, 1.0f)); },
	     "angle"},
	    {"velocity", [](RigidBody2DComponent* body, float bad) { body->SetLinearVelocity(Vector(0.0f, bad, 0.0f)); },
	     "linear velocity"},
	    {"angular velocity", [](RigidBody2DComponent* body, float bad) { body->SetAngularVelocity(bad); },
	     "angular velocity"},
	    {"force", [](RigidBody2DComponent* body, float bad) { body->ApplyForceToCenter(Vector(bad, 0.0f, 0.0f)); },
	     "force"},
	    {"impulse", [](RigidBody2DComponent* body, float bad) { body->ApplyImpulseToCenter(Vector(bad, 0.0f, 0.0f)); },
	     "impulse"},
	    {"density", [](RigidBody2DComponent* body, float bad) { body->SetDensity(bad); }, "density"},
	};
	for (const auto& c : cases)
	{
		for (const float bad : {NOT_A_NUMBER, infinity})
		{
			SCOPED_TRACE(std::string(c.Name) + (std::isnan(bad) ? " NaN" : " infinity"));
			RigidBody2DComponent* body = SpawnBody(eRigidBody2DType::DYNAMIC, Vector(1.0f, 2.0f, 0.0f), 0.5f);
			body->SetLinearVelocity(Vector(1.0f, 0.0f, 0.0f));
			RunFrames(2, 10);
			const Vector position = Position(body);
			const Vector velocity = body->GetLinearVelocity();
			ConsoleCapture console;

			c.Apply(body, bad);
			Harness.RunFrame(0);

			EXPECT_TRUE(console.Contains("[ERROR] RigidBody2DComponent of entity " +
			                             body->GetOwner()->GetID().ToString().GetStdString() +
			                             ": refused a non-finite " + c.What))
			    << console.GetText();
			EXPECT_NEAR(Position(body).x, position.x, 1e-6f);
			EXPECT_NEAR(Position(body).y, position.y, 1e-6f);
			EXPECT_EQ(body->GetLinearVelocity(), velocity);
			EXPECT_EQ(body->GetDensity(), 1.0f);
			EXPECT_TRUE(std::isfinite(body->GetTransform().GetGlobalRotation().ToEulerAngles().Z.AsRadians()));
			DeferredTaskSystem::DestroyEntityImmediate(GetWorld(), body->GetOwner());
		}
	}
}

TEST_F(Physics2DTest, StackOfTenBoxesSettlesAndStaysStanding)
{
	SpawnGround();
	std::vector<RigidBody2DComponent*> boxes;
	for (int level = 0; level < 10; ++level)
		boxes.push_back(SpawnBox(eRigidBody2DType::DYNAMIC, Vector(0.0f, 0.5f + static_cast<float>(level), 0.0f),
		                         Vector(1.0f, 1.0f, 1.0f), 1.0f, 0.6f));

	RunFrames(900, 10);
	std::vector<Vector> atNineSeconds;
	for (const RigidBody2DComponent* box : boxes)
		atNineSeconds.push_back(Position(box));
	RunFrames(100, 10);

	for (std::size_t level = 0; level < boxes.size(); ++level)
	{
		SCOPED_TRACE(level);
		const Vector position = Position(boxes[level]);
		EXPECT_LT((position - atNineSeconds[level]).Length(), 0.01f);
		EXPECT_NEAR(position.x, 0.0f, 0.05f);
		// Each box rests on the one below, a polygon skin apart.
		const float below = level == 0 ? -0.5f : Position(boxes[level - 1]).y;
		EXPECT_NEAR(position.y - below, 1.0f, 0.05f);
	}
}

TEST_F(Physics2DDeathTest, BodyOnAChildEntityStops)
{
	Entity* parent = SpawnEntity(Vector(0.0f, 0.0f, 0.0f));
	Entity* child = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
	child->SetParent(parent);
	GetWorld()->AddComponent<Circle2DColliderComponent>(child, 0.5f);
	GetWorld()->AddComponent<RigidBody2DComponent>(child, GetWorld(), eRigidBody2DType::DYNAMIC, 1.0f, 0.2f);

	EXPECT_DEATH(Harness.RunFrame(10), "Physics cannot be applied to child entity");
}

TEST_F(Physics2DDeathTest, UnknownBodyTypeStops)
{
	EXPECT_DEATH(GetWorld()->AddComponent<RigidBody2DComponent>(SpawnEntity(Vector()), GetWorld(),
	                                                            static_cast<eRigidBody2DType>(7), 1.0f, 0.2f),
	             "Invalid body type");
}
