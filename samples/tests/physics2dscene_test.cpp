#include "scenes/physics2dscene.hpp"

#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "ecs/entitytransform.hpp"
#include "physics2d/box2dcollidercomponent.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"
#include "support/samplestest.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <utility>
#include <vector>

using namespace Vorn;
using namespace VornSamples::Physics2DSceneLayout;

namespace
{
	constexpr std::size_t SCENE = 2;
	// The smallest half extent of any body (a box side of 0.5 or a radius of 0.25), less Box2D's slop.
	constexpr float SMALLEST_HALF_EXTENT = 0.24f;
	constexpr float RESTING_SPEED = 0.1f;

	class Physics2DSceneTest : public SamplesTest
	{
	protected:
		Physics2DSceneTest() { ShowScene(SCENE); }

		std::vector<Entity*> GetDynamicBodies()
		{
			std::vector<Entity*> bodies;
			for (auto [body] : GetWorld()->IterateComponents<RigidBody2DComponent>())
				if (body->GetBodyType() == eRigidBody2DType::DYNAMIC)
					bodies.push_back(body->GetOwner());
			return bodies;
		}

		// The counter line's numbers: {bodies, contacts}; {-1, -1} when there is no such line.
		std::pair<int, int> ReadCounter()
		{
			for (auto [text] : GetWorld()->IterateComponents<ScreenSpaceTextComponent>())
			{
				int bodies = 0;
				int bound = 0;
				int contacts = 0;
				if (std::sscanf(text->GetText().GetText().GetCStr(), "Bodies: %d of %d Contacts: %d", &bodies, &bound,
				                &contacts) == 3)
					return {bodies, contacts};
			}
			return {-1, -1};
		}

		// The touching pairs the engine lists, each pair once whichever body's list holds it.
		std::set<std::pair<RigidBody2DComponent*, RigidBody2DComponent*>> GetEngineContactPairs()
		{
			const Physics2DWorldComponent& physics = *GetWorld()->GetWorldComponent<Physics2DWorldComponent>();
			std::set<std::pair<RigidBody2DComponent*, RigidBody2DComponent*>> pairs;
			for (auto [body] : GetWorld()->IterateComponents<RigidBody2DComponent>())
				for (const Physics2DWorldComponent::Collision& collision : physics.GetCollidingBodies(body))
					pairs.insert(std::minmax(body, collision.OtherBody));
			return pairs;
		}

		void Click(const Vector2i& pixel)
		{
			GetEngine().UpdateMousePos(pixel);
			GetEngine().MouseButtonDown(eMouseButton::LEFT);
			RunFrame();
			GetEngine().MouseButtonUp(eMouseButton::LEFT);
			RunFrame();
		}

		void PourUntilBound()
		{
			for (int poured = POURED_AT_START; poured < MAX_BODIES; poured += POURED_BY_SPACE)
				PressKey(eKey::SPACE);
			RunFrames(10 * FRAMES_PER_SECOND);
			ASSERT_EQ(static_cast<int>(GetDynamicBodies().size()), MAX_BODIES);
		}

		// Every body resting in the container: between the walls, on or above the floor, not moving.
		void ExpectAllRestingInsideTheContainer()
		{
			for (Entity* body : GetDynamicBodies())
			{
				const Vector& position = body->GetTransform().GetGlobalTranslation();
				SCOPED_TRACE(testing::Message() << "body at " << position);
				EXPECT_GE(position.x, INNER_LEFT + SMALLEST_HALF_EXTENT);
				EXPECT_LE(position.x, INNER_RIGHT - SMALLEST_HALF_EXTENT);
				EXPECT_GE(position.y, FLOOR_TOP + SMALLEST_HALF_EXTENT);
				EXPECT_LE(position.y, WALL_TOP);
				EXPECT_LT(body->GetComponent<RigidBody2DComponent>()->GetLinearVelocity().Length(), RESTING_SPEED);
			}
		}
	};
} // namespace

TEST_F(Physics2DSceneTest, PouredBodiesComeToRestPiledOnTheContainerFloor)
{
	RunFrames(5 * FRAMES_PER_SECOND);

	ASSERT_EQ(static_cast<int>(GetDynamicBodies().size()), POURED_AT_START);
	ExpectAllRestingInsideTheContainer();
	// Piled at the bottom: no body higher than a pile of that many bodies could reach.
	for (Entity* body : GetDynamicBodies())
		EXPECT_LT(body->GetTransform().GetGlobalTranslation().y, FLOOR_TOP + 4.0f);
}

TEST_F(Physics2DSceneTest, ClickDropsOneBodyAtTheCursorClampedIntoTheContainer)
{
	// The camera looks straight at the container from (0, 0.5, 13) over a 1280x720 screen.
	const struct
	{
		const char* Name;
		Vector2i Pixel;
		float MinX, MaxX, MinY, MaxY; // where the new body must be
	} cases[] = {
	    {"screen centre", Vector2i(640, 360), -0.1f, 0.1f, 0.3f, 0.6f},
	    {"left of the container", Vector2i(10, 360), INNER_LEFT + 0.4f, INNER_LEFT + 0.6f, 0.3f, 0.6f},
	    {"right of the container", Vector2i(1270, 360), INNER_RIGHT - 0.6f, INNER_RIGHT - 0.4f, 0.3f, 0.6f},
	    {"below the floor", Vector2i(640, 715), -0.1f, 0.1f, FLOOR_TOP, FLOOR_TOP + 1.0f},
	    {"far above the walls", Vector2i(640, 2), -0.1f, 0.1f, WALL_TOP, WALL_TOP + 2.0f},
	};
	RunFrames(3 * FRAMES_PER_SECOND);
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Name);
		const std::vector<Entity*> before = GetDynamicBodies();

		Click(c.Pixel);

		const std::vector<Entity*> after = GetDynamicBodies();
		ASSERT_EQ(after.size(), before.size() + 1);
		const std::set<Entity*> old(before.begin(), before.end());
		for (Entity* body : after)
			if (old.count(body) == 0)
			{
				const Vector& position = body->GetTransform().GetGlobalTranslation();
				EXPECT_GE(position.x, c.MinX) << position;
				EXPECT_LE(position.x, c.MaxX) << position;
				EXPECT_GE(position.y, c.MinY) << position;
				EXPECT_LE(position.y, c.MaxY) << position;
			}
	}
}

TEST_F(Physics2DSceneTest, SpacePoursMoreBodiesThatSettleInTheContainer)
{
	RunFrames(3 * FRAMES_PER_SECOND);

	PressKey(eKey::SPACE);
	RunFrames(4 * FRAMES_PER_SECOND);

	EXPECT_EQ(static_cast<int>(GetDynamicBodies().size()), POURED_AT_START + POURED_BY_SPACE);
	ExpectAllRestingInsideTheContainer();
}

TEST_F(Physics2DSceneTest, AtTheBoundADropLiftsAnExistingBodyInsteadOfMakingOne)
{
	PourUntilBound();
	ExpectAllRestingInsideTheContainer();

	Click(Vector2i(640, 2));

	const std::vector<Entity*> bodies = GetDynamicBodies();
	EXPECT_EQ(static_cast<int>(bodies.size()), MAX_BODIES);
	int lifted = 0;
	for (Entity* body : bodies)
		if (body->GetTransform().GetGlobalTranslation().y > WALL_TOP)
			++lifted;
	EXPECT_EQ(lifted, 1) << "the dropped body waits above the walls";

	// The lifted body and those that lost it from under them settle again.
	RunFrames(4 * FRAMES_PER_SECOND);
	ExpectAllRestingInsideTheContainer();
}

TEST_F(Physics2DSceneTest, BodyThatFellOutOfTheContainerIsPouredBackIntoIt)
{
	RunFrames(3 * FRAMES_PER_SECOND);
	Entity* escaped = GetDynamicBodies().front();
	escaped->GetTransform().SetGlobalTranslation(Vector(INNER_RIGHT + 3.0f, FLOOR_TOP - 20.0f, 0.0f));

	RunFrame();

	const Vector& position = escaped->GetTransform().GetGlobalTranslation();
	EXPECT_GT(position.x, INNER_LEFT);
	EXPECT_LT(position.x, INNER_RIGHT);
	EXPECT_GT(position.y, WALL_TOP) << "it falls in from above";
	// The pile slumps into the gap the body left at its bottom, and the body lands on top.
	RunFrames(6 * FRAMES_PER_SECOND);
	ExpectAllRestingInsideTheContainer();
}

TEST_F(Physics2DSceneTest, ContactCounterShowsTheEngineContactsAsTheyChange)
{
	const std::pair<int, int> start = ReadCounter();
	ASSERT_NE(start.first, -1) << "no counter line";
	EXPECT_EQ(start.second, 0) << "nothing touches before the first bodies land";

	// While bodies land, while the last ones are poured, and once the pile rests.
	for (const int frames : {FRAMES_PER_SECOND, FRAMES_PER_SECOND / 2, 4 * FRAMES_PER_SECOND})
	{
		RunFrames(frames);
		const std::pair<int, int> counter = ReadCounter();
		SCOPED_TRACE(testing::Message() << "bodies " << counter.first);
		EXPECT_EQ(counter.first, static_cast<int>(GetDynamicBodies().size()));
		EXPECT_EQ(counter.second, static_cast<int>(GetEngineContactPairs().size()));
		EXPECT_GT(counter.second, 0);
	}
}

TEST_F(Physics2DSceneTest, F10DrawsAVelocityArrowFromEveryMovingBody)
{
	std::vector<std::pair<Vector3f, Vector3f>> lines;
	DeviceLog.OnRenderWorld = [&lines](World* world)
	{
		const auto& drawn = world->GetWorldComponent<DebugDrawStateWorldComponent>()->DebugLines;
		lines.clear();
		for (const auto& line : drawn)
			lines.push_back(line);
	};
	RunFrames(FRAMES_PER_SECOND / 2);
	EXPECT_TRUE(lines.empty()) << "no debug lines outside F10";

	PressKey(eKey::F10);
	RunFrame();

	int moving = 0;
	for (Entity* body : GetDynamicBodies())
	{
		const Vector& position = body->GetTransform().GetGlobalTranslation();
		const Vector velocity = body->GetComponent<RigidBody2DComponent>()->GetLinearVelocity();
		if (velocity.Length() < 0.5f)
			continue;
		++moving;
		bool hasArrow = false;
		for (const auto& [start, end] : lines)
		{
			const Vector shaft(end.x - start.x, end.y - start.y, end.z - start.z);
			hasArrow |= Vector(start.x, start.y, start.z).Equals(position, 1e-4f) &&
			            shaft.GetNormalized().Equals(velocity.GetNormalized(), 1e-3f);
		}
		EXPECT_TRUE(hasArrow) << "no arrow along " << velocity << " from " << position;
	}
	EXPECT_GT(moving, 0) << "the pour is still falling";
}

// Leaving the scene, for the menu or another scene, takes every body along; coming back pours afresh.
TEST_F(Physics2DSceneTest, LeavingRemovesEveryBodyAndComingBackStartsAnew)
{
	for (const std::size_t next : {std::size_t(0), std::size_t(3)})
	{
		SCOPED_TRACE(testing::Message() << "leaving for scene " << next);
		PressKey(eKey::SPACE);
		RunFrames(2 * FRAMES_PER_SECOND);
		ASSERT_GT(CountComponents<RigidBody2DComponent>(), 0u);

		ShowScene(next);

		EXPECT_EQ(CountComponents<RigidBody2DComponent>(), 0u);
		EXPECT_EQ(CountComponents<Box2DColliderComponent>(), 0u);
		EXPECT_EQ(CountComponents<Circle2DColliderComponent>(), 0u);

		ShowScene(SCENE);
		RunFrames(3 * FRAMES_PER_SECOND);
		EXPECT_EQ(static_cast<int>(GetDynamicBodies().size()), POURED_AT_START);
		EXPECT_EQ(ReadCounter().first, POURED_AT_START);
	}
}
