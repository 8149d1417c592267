#include "movement/movementsystem.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/testengine.hpp"
#include "movement/freefloatmovementcomponent.hpp"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace Vorn;
using namespace VornTests;

namespace
{
	constexpr float TOLERANCE = 1e-4f;

	// An engine with one free-float entity. The frame clock is clamped to 60 ms, so longer spans are run as
	// several 50 ms frames.
	class MovementSystemTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Harness.Init();
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(Harness.GetWorld());
			Movement = Harness.GetWorld()->AddComponent<FreeFloatMovementComponent>(entity);
		}

		EntityTransform& Transform() { return Movement->GetTransform(); }
		Engine& GetEngine() { return Harness.GetEngine(); }

		void RunSeconds(int frames50ms)
		{
			for (int frame = 0; frame < frames50ms; ++frame)
				Harness.RunFrame(50);
		}

		TestEngine Harness;
		FreeFloatMovementComponent* Movement = nullptr;
	};

	Vector Rotated(const Quaternion& rotation, const Vector& vector) { return rotation * vector; }
} // namespace

TEST_F(MovementSystemTest, HoldingWAndDForOneSecondMovesDiagonallyAtUnitSpeed)
{
	GetEngine().KeyDown(eKey::W);
	GetEngine().KeyDown(eKey::D);
	RunSeconds(20);
	EXPECT_TRUE(Transform().GetLocalTranslation().Equals(Vector(0.7071f, 0.0f, -0.7071f), TOLERANCE))
	    << Transform().GetLocalTranslation();
}

TEST_F(MovementSystemTest, KeysMoveAlongTheEntityAxesAndTheFirstOfTwoOppositeKeysWins)
{
	const struct
	{
		std::initializer_list<eKey> Keys;
		Vector Expected;
	} cases[] = {
	    {{eKey::W}, Vector(0.0f, 0.0f, -1.0f)},          {{eKey::S}, Vector(0.0f, 0.0f, 1.0f)},
	    {{eKey::W, eKey::S}, Vector(0.0f, 0.0f, -1.0f)}, {{eKey::A}, Vector(-1.0f, 0.0f, 0.0f)},
	    {{eKey::D}, Vector(1.0f, 0.0f, 0.0f)},           {{eKey::A, eKey::D}, Vector(-1.0f, 0.0f, 0.0f)},
	    {{eKey::Q}, Vector(0.0f, -1.0f, 0.0f)},          {{eKey::E}, Vector(0.0f, 1.0f, 0.0f)},
	    {{eKey::Q, eKey::E}, Vector(0.0f, -1.0f, 0.0f)}, {{}, Vector(0.0f, 0.0f, 0.0f)},
	};
	Movement->SetMovementSpeed(20.0f); // one unit per 50 ms frame
	for (const auto& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << c.Expected);
		Transform().SetLocalTranslation(Vector(0.0f, 0.0f, 0.0f));
		for (eKey key : c.Keys)
			GetEngine().KeyDown(key);
		Harness.RunFrame(50);
		EXPECT_TRUE(Transform().GetLocalTranslation().Equals(c.Expected, TOLERANCE))
		    << Transform().GetLocalTranslation();
		for (eKey key : c.Keys)
			GetEngine().KeyUp(key);
		Harness.RunFrame(50);
	}
}

TEST_F(MovementSystemTest, MovementFollowsTheLocalRotation)
{
	const Quaternion turnedLeft(Vector::UNIT_Y, Angle::FromDegrees(90.0f));
	Transform().SetLocalRotation(turnedLeft);
	GetEngine().KeyDown(eKey::W);
	RunSeconds(20);
	EXPECT_TRUE(Transform().GetLocalTranslation().Equals(Vector(-1.0f, 0.0f, 0.0f), TOLERANCE))
	    << Transform().GetLocalTranslation();
}

TEST_F(MovementSystemTest, WheelChangesSpeedBySensitivityAndSpeedStaysWithinItsClamp)
{
	const struct
	{
		float StartSpeed;
		float Sensitivity;
		int WheelSteps;
		float Expected;
	} cases[] = {
	    {1.0f, 1.0f, 2, 3.0f},      {5.0f, 0.5f, -4, 3.0f},        {1.0f, 1.0f, -5, 0.001f},
	    {0.001f, 1.0f, -1, 0.001f}, {9999.0f, 10.0f, 3, 10000.0f}, {1.0f, 1.0f, 0, 1.0f},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.WheelSteps);
		Movement->SetMovementSpeed(c.StartSpeed);
		Movement->SetWheelSensitivity(c.Sensitivity);
		GetEngine().UpdateWheelPos({0, c.WheelSteps});
		Harness.RunFrame();
		EXPECT_FLOAT_EQ(Movement->GetMovementSpeed(), c.Expected);
	}
}

TEST_F(MovementSystemTest, SpeedClampedAtTheBottomStillMoves)
{
	GetEngine().UpdateWheelPos({0, -100});
	GetEngine().KeyDown(eKey::S);
	RunSeconds(20);
	EXPECT_FLOAT_EQ(Movement->GetMovementSpeed(), 0.001f);
	EXPECT_NEAR(Transform().GetLocalTranslation().z, 0.001f, 1e-6f);
}

TEST_F(MovementSystemTest, MouseTurnsTheEntityOnlyWhileTheLeftButtonIsHeld)
{
	Movement->SetAngularVelocity(0.01f);
	GetEngine().UpdateMouseMove({10, 0});
	GetEngine().MouseButtonDown(eMouseButton::RIGHT);
	Harness.RunFrame();
	EXPECT_TRUE(Transform().GetLocalRotation().Equals(Quaternion(), 0.0f)) << Transform().GetLocalRotation();

	GetEngine().MouseButtonDown(eMouseButton::LEFT);
	GetEngine().UpdateMouseMove({10, 0});
	Harness.RunFrame();
	// A positive horizontal motion turns to the right: a negative yaw about +Y.
	EXPECT_TRUE(Transform().GetLocalRotation().Equals(Quaternion(Vector::UNIT_Y, Angle::FromRadians(-0.1f)), 1e-6f))
	    << Transform().GetLocalRotation();

	Harness.RunFrame();
	EXPECT_TRUE(Transform().GetLocalRotation().Equals(Quaternion(Vector::UNIT_Y, Angle::FromRadians(-0.1f)), 1e-6f))
	    << "no motion, no turn";
}

TEST_F(MovementSystemTest, YawTurnsAboutTheParentUpAndPitchAboutTheEntityOwnRight)
{
	const Quaternion start(Vector::UNIT_Y, Angle::FromDegrees(90.0f));
	Transform().SetLocalRotation(start);
	Movement->SetAngularVelocity(0.02f);
	GetEngine().MouseButtonDown(eMouseButton::LEFT);
	GetEngine().UpdateMouseMove({0, -50}); // mouse up: pitch up by 1 radian
	Harness.RunFrame();

	// Looking along -X after the start rotation, pitching up tilts the forward vector towards +Y within the
	// X-Y plane; a pitch about the parent's X axis would have rolled it instead.
	const Vector forward = Rotated(Transform().GetLocalRotation(), Vector(0.0f, 0.0f, -1.0f));
	EXPECT_TRUE(forward.Equals(Vector(-std::cos(1.0f), std::sin(1.0f), 0.0f), TOLERANCE)) << forward;

	GetEngine().UpdateMouseMove({-50, 0}); // mouse left: yaw by +1 radian about the parent's up
	Harness.RunFrame();
	const Vector right = Rotated(Transform().GetLocalRotation(), Vector(1.0f, 0.0f, 0.0f));
	EXPECT_NEAR(right.y, 0.0f, TOLERANCE) << "yaw keeps the right axis horizontal: " << right;
}

TEST(MovementSystemDirectionsTest, GlobalDirectionsIncludeTheParentRotationAndLocalOnesDoNot)
{
	World world;
	Entity* parent = DeferredTaskSystem::SpawnEntityImmediate(&world);
	Entity* child = DeferredTaskSystem::SpawnEntityImmediate(&world);
	child->SetParent(parent);
	parent->GetTransform().SetLocalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(90.0f)));
	child->GetTransform().SetLocalRotation(Quaternion(Vector::UNIT_X, Angle::FromDegrees(90.0f)));

	const EntityTransform& transform = child->GetTransform();
	const struct
	{
		const char* Name;
		Vector Actual;
		Vector Expected;
	} cases[] = {
	    // The child alone pitches up by 90 degrees about X.
	    {"local forward", MovementSystem::GetLocalForward(transform), Vector(0.0f, 1.0f, 0.0f)},
	    {"local right", MovementSystem::GetLocalRight(transform), Vector(1.0f, 0.0f, 0.0f)},
	    {"local up", MovementSystem::GetLocalUp(transform), Vector(0.0f, 0.0f, 1.0f)},
	    // The parent then turns everything 90 degrees about Y: +X goes to -Z, +Z to +X.
	    {"global forward", MovementSystem::GetGlobalForward(transform), Vector(0.0f, 1.0f, 0.0f)},
	    {"global right", MovementSystem::GetGlobalRight(transform), Vector(0.0f, 0.0f, -1.0f)},
	    {"global up", MovementSystem::GetGlobalUp(transform), Vector(1.0f, 0.0f, 0.0f)},
	};
	for (const auto& c : cases)
		EXPECT_TRUE(c.Actual.Equals(c.Expected, TOLERANCE)) << c.Name << ": " << c.Actual;
}

TEST(MovementSystemDirectionsTest, UnrotatedEntityLooksDownMinusZWithRightXAndUpY)
{
	World world;
	const EntityTransform& transform = DeferredTaskSystem::SpawnEntityImmediate(&world)->GetTransform();
	EXPECT_EQ(MovementSystem::GetGlobalForward(transform), Vector(0.0f, 0.0f, -1.0f));
	EXPECT_EQ(MovementSystem::GetGlobalRight(transform), Vector(1.0f, 0.0f, 0.0f));
	EXPECT_EQ(MovementSystem::GetGlobalUp(transform), Vector(0.0f, 1.0f, 0.0f));
}
