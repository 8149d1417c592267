#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "input/inputworldcomponent.hpp"

#include <gtest/gtest.h>

using namespace Vorn;
using namespace VornTests;

namespace
{
	// Input reaches the world component only through the engine's queue and its input phase.
	class InputTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Harness.Init(); }

		Engine& GetEngine() { return Harness.GetEngine(); }
		const InputWorldComponent& Input() { return *Harness.GetWorld()->GetWorldComponent<InputWorldComponent>(); }
		void Frame() { Harness.RunFrame(); }

		TestEngine Harness;
	};

	using InputDeathTest = InputTest;
} // namespace

TEST_F(InputTest, KeyIsClickedInItsFirstFrameHeldAfterwardsAndReleasedInTheFrameItGoesUp)
{
	GetEngine().KeyDown(eKey::W);
	Frame();
	EXPECT_TRUE(Input().IsPressed(eKey::W));
	EXPECT_TRUE(Input().IsClicked(eKey::W));
	EXPECT_FALSE(Input().IsReleased(eKey::W));

	Frame();
	EXPECT_TRUE(Input().IsPressed(eKey::W));
	EXPECT_FALSE(Input().IsClicked(eKey::W));
	EXPECT_FALSE(Input().IsReleased(eKey::W));

	GetEngine().KeyUp(eKey::W);
	Frame();
	EXPECT_FALSE(Input().IsPressed(eKey::W));
	EXPECT_FALSE(Input().IsClicked(eKey::W));
	EXPECT_TRUE(Input().IsReleased(eKey::W));

	Frame();
	EXPECT_FALSE(Input().IsReleased(eKey::W));
	EXPECT_FALSE(Input().IsPressed(eKey::S)) << "other keys stay up";
}

// A tap shorter than a frame (a slow frame, a quick finger) is still a click: the press shows in its frame, the
// release in the next, and nothing else waits for it.
TEST_F(InputTest, KeyTappedWithinOneFrameIsClickedThenReleasedInTheNextFrame)
{
	GetEngine().KeyDown(eKey::SPACE);
	GetEngine().KeyUp(eKey::SPACE);
	GetEngine().KeyDown(eKey::W);
	Frame();
	EXPECT_TRUE(Input().IsClicked(eKey::SPACE));
	EXPECT_FALSE(Input().IsReleased(eKey::SPACE));
	EXPECT_TRUE(Input().IsClicked(eKey::W)) << "other keys are not held back";

	Frame();
	EXPECT_FALSE(Input().IsPressed(eKey::SPACE));
	EXPECT_TRUE(Input().IsReleased(eKey::SPACE));
	EXPECT_TRUE(Input().IsPressed(eKey::W));

	Frame();
	EXPECT_FALSE(Input().IsReleased(eKey::SPACE));
}

TEST_F(InputTest, MouseButtonTappedWithinOneFrameIsClickedThenReleasedInTheNextFrame)
{
	GetEngine().MouseButtonDown(eMouseButton::LEFT);
	GetEngine().MouseButtonUp(eMouseButton::LEFT);
	Frame();
	EXPECT_TRUE(Input().IsClicked(eMouseButton::LEFT));

	Frame();
	EXPECT_FALSE(Input().IsPressed(eMouseButton::LEFT));
	EXPECT_TRUE(Input().IsReleased(eMouseButton::LEFT));
}

// Down, up and down again within one frame: each later event waits its turn, so the key ends held, as it is.
TEST_F(InputTest, KeyTappedTwiceWithinOneFrameEndsHeldAfterAClickEachFrame)
{
	GetEngine().KeyDown(eKey::E);
	GetEngine().KeyUp(eKey::E);
	GetEngine().KeyDown(eKey::E);
	Frame();
	EXPECT_TRUE(Input().IsClicked(eKey::E));

	Frame();
	EXPECT_TRUE(Input().IsPressed(eKey::E)) << "the second press comes with the release in one frame";
	EXPECT_FALSE(Input().IsReleased(eKey::E));
	EXPECT_FALSE(Input().IsClicked(eKey::E));
}

TEST_F(InputTest, MouseButtonsFollowTheSamePressedClickedReleasedRules)
{
	GetEngine().MouseButtonDown(eMouseButton::LEFT);
	Frame();
	EXPECT_TRUE(Input().IsPressed(eMouseButton::LEFT));
	EXPECT_TRUE(Input().IsClicked(eMouseButton::LEFT));
	EXPECT_FALSE(Input().IsPressed(eMouseButton::RIGHT));

	GetEngine().MouseButtonUp(eMouseButton::LEFT);
	Frame();
	EXPECT_FALSE(Input().IsPressed(eMouseButton::LEFT));
	EXPECT_TRUE(Input().IsReleased(eMouseButton::LEFT));
}

TEST_F(InputTest, ListQueriesNeedEveryListedKeyOrButtonHeld)
{
	GetEngine().KeyDown(eKey::LCTRL);
	GetEngine().KeyDown(eKey::S);
	GetEngine().MouseButtonDown(eMouseButton::MIDDLE);
	Frame();

	EXPECT_TRUE(Input().IsPressed(Dynarray<eKey>{eKey::LCTRL, eKey::S}));
	EXPECT_FALSE(Input().IsPressed(Dynarray<eKey>{eKey::LCTRL, eKey::S, eKey::LSHIFT}));
	EXPECT_TRUE(Input().IsPressed(Dynarray<eKey>{}));
	EXPECT_TRUE(Input().IsPressed(Dynarray<eMouseButton>{eMouseButton::MIDDLE}));
	EXPECT_FALSE(Input().IsPressed(Dynarray<eMouseButton>{eMouseButton::MIDDLE, eMouseButton::X1}));
	EXPECT_TRUE(Input().IsPressed(Dynarray<eMouseButton>{}));
}

TEST_F(InputTest, KeysAndMouseButtonsOutsideTheirRangeAreIgnored)
{
	GetEngine().KeyDown(static_cast<eKey>(300));
	GetEngine().KeyDown(eKey::_COUNT);
	GetEngine().MouseButtonDown(eMouseButton::_COUNT);
	GetEngine().MouseButtonDown(static_cast<eMouseButton>(9));
	GetEngine().KeyDown(eKey::A);
	Frame();
	EXPECT_TRUE(Input().IsPressed(eKey::A)) << "the valid event after the ignored ones is still handled";
	EXPECT_TRUE(GetEngine().GetInputQueue().IsEmpty());
}

TEST_F(InputTest, MouseMotionsOfOneFrameAddUpAndRestartAtZeroNextFrame)
{
	GetEngine().UpdateMouseMove({3, 4});
	GetEngine().UpdateMouseMove({1, -2});
	Frame();
	EXPECT_EQ(Input().GetMousePosDelta(), Vector2i(4, 2));

	Frame();
	EXPECT_EQ(Input().GetMousePosDelta(), Vector2i(0, 0));
}

TEST_F(InputTest, LastMousePositionOfAFrameWinsAndStaysUntilTheNextOne)
{
	GetEngine().UpdateMousePos({10, 20});
	GetEngine().UpdateMousePos({30, 40});
	Frame();
	EXPECT_EQ(Input().GetMousePos(), Vector2i(30, 40));
	Frame();
	EXPECT_EQ(Input().GetMousePos(), Vector2i(30, 40));
}

TEST_F(InputTest, WheelPositionKeepsGrowingWhileTheDeltaCoversOneFrame)
{
	GetEngine().UpdateWheelPos({0, 1});
	GetEngine().UpdateWheelPos({0, 1});
	Frame();
	EXPECT_EQ(Input().GetWheelPosDelta(), Vector2i(0, 2));
	EXPECT_EQ(Input().GetWheelPos(), Vector2i(0, 2));

	GetEngine().UpdateWheelPos({1, 3});
	Frame();
	EXPECT_EQ(Input().GetWheelPosDelta(), Vector2i(1, 3));
	EXPECT_EQ(Input().GetWheelPos(), Vector2i(1, 5));

	Frame();
	EXPECT_EQ(Input().GetWheelPosDelta(), Vector2i(0, 0));
	EXPECT_EQ(Input().GetWheelPos(), Vector2i(1, 5));
}

TEST_F(InputTest, NewControllerTakesTheLowestFreePlayerSlotAndOthersKeepTheirs)
{
	ConsoleCapture console;
	GetEngine().AddController(10);
	GetEngine().AddController(11);
	GetEngine().AddController(12);
	Frame();
	EXPECT_EQ(Input().GetConnectedControllersIDs(), (Dynarray<u64>{0, 1, 2}));
	EXPECT_EQ(console.GetText(), "[DEBUG] Controller added in new place\n"
	                             "[DEBUG] Controller added in new place\n"
	                             "[DEBUG] Controller added in new place\n");

	console.Clear();
	GetEngine().RemoveController(11);
	Frame();
	EXPECT_FALSE(Input().IsControllerConnected(1));
	EXPECT_TRUE(Input().IsControllerConnected(2));
	EXPECT_EQ(Input().GetConnectedControllersIDs(), (Dynarray<u64>{0, 2}));
	EXPECT_EQ(Input().GetConnectedControllersCount(), 2u);

	GetEngine().AddController(13);
	GetEngine().ControllerButtonDown(13, eControllerButton::A);
	Frame();
	EXPECT_EQ(console.GetText(), "[DEBUG] Controller added in existing place\n");
	EXPECT_EQ(Input().GetConnectedControllersIDs(), (Dynarray<u64>{0, 1, 2}));
	EXPECT_EQ(Input().GetConnectedControllersCount(), 3u);
	EXPECT_TRUE(Input().IsPressed(1, eControllerButton::A)) << "controller 13 answers as player 1";
	EXPECT_FALSE(Input().IsPressed(2, eControllerButton::A));
	EXPECT_FALSE(Input().IsControllerConnected(3));
}

TEST_F(InputTest, ControllerButtonsAndAxesAreReadPerPlayerWithTheirPreviousFrame)
{
	GetEngine().AddController(42);
	Frame();
	GetEngine().ControllerButtonDown(42, eControllerButton::X);
	GetEngine().ControllerAxisMotion(42, eControllerAxis::LEFTY, 16384);
	Frame();
	EXPECT_TRUE(Input().IsPressed(0, eControllerButton::X));
	EXPECT_TRUE(Input().IsClicked(0, eControllerButton::X));
	EXPECT_FLOAT_EQ(Input().GetControllerAxis(0, eControllerAxis::LEFTY), static_cast<float>(16384 / 35768.0));
	EXPECT_FLOAT_EQ(Input().GetControllerAxisDelta(0, eControllerAxis::LEFTY), static_cast<float>(16384 / 35768.0));
	EXPECT_FLOAT_EQ(Input().GetControllerAxis(0, eControllerAxis::RIGHTX), 0.0f);

	GetEngine().ControllerButtonUp(42, eControllerButton::X);
	Frame();
	EXPECT_FALSE(Input().IsPressed(0, eControllerButton::X));
	EXPECT_TRUE(Input().IsReleased(0, eControllerButton::X));
	EXPECT_FLOAT_EQ(Input().GetControllerAxis(0, eControllerAxis::LEFTY), static_cast<float>(16384 / 35768.0));
	EXPECT_FLOAT_EQ(Input().GetControllerAxisDelta(0, eControllerAxis::LEFTY), 0.0f);
}

TEST_F(InputTest, ReconnectedControllerStartsWithEverythingReleased)
{
	GetEngine().AddController(5);
	GetEngine().ControllerButtonDown(5, eControllerButton::B);
	Frame();
	GetEngine().RemoveController(5);
	GetEngine().AddController(5);
	Frame();
	EXPECT_FALSE(Input().IsPressed(0, eControllerButton::B));
	EXPECT_FALSE(Input().IsReleased(0, eControllerButton::B));
}

TEST_F(InputTest, EventsOfAControllerThatWasNeverAddedAreIgnoredWithAWarning)
{
	GetEngine().AddController(1);
	Frame();
	ConsoleCapture console;
	GetEngine().ControllerButtonDown(99, eControllerButton::A);
	GetEngine().ControllerAxisMotion(99, eControllerAxis::LEFTX, 1000);
	GetEngine().RemoveController(99);
	Frame();

	EXPECT_EQ(console.GetText(), "[WARNING] Input event of unknown controller 99 ignored\n"
	                             "[WARNING] Input event of unknown controller 99 ignored\n"
	                             "[WARNING] Removal of unknown controller 99 ignored\n");
	EXPECT_EQ(Input().GetConnectedControllersCount(), 1u);
	EXPECT_FALSE(Input().IsPressed(0, eControllerButton::A));
	EXPECT_FLOAT_EQ(Input().GetControllerAxis(0, eControllerAxis::LEFTX), 0.0f);
}

TEST_F(InputTest, ControllerAnnouncedTwiceKeepsItsOnePlayerSlot)
{
	GetEngine().AddController(8);
	GetEngine().AddController(8);
	Frame();
	EXPECT_EQ(Input().GetConnectedControllersIDs(), (Dynarray<u64>{0}));
	EXPECT_EQ(Input().GetConnectedControllersCount(), 1u);
}

TEST_F(InputDeathTest, ControllerQueriesForAFreePlayerStop)
{
	GetEngine().AddController(3);
	GetEngine().AddController(4);
	Frame();
	GetEngine().RemoveController(3);
	Frame();
	EXPECT_DEATH(Input().IsPressed(0, eControllerButton::A), "Controller not connected!");
	EXPECT_DEATH(Input().GetControllerAxis(5, eControllerAxis::LEFTX), "Controller not connected!");
	EXPECT_DEATH(Input().IsClicked(7, eControllerButton::A), "Controller not connected!");
}

TEST_F(InputDeathTest, QueriesOutsideTheEnumerationsStop)
{
	GetEngine().AddController(3);
	Frame();
	EXPECT_DEATH(Input().IsPressed(eKey::_COUNT), "Index out of bounds!");
	EXPECT_DEATH(Input().IsClicked(eMouseButton::_COUNT), "Index out of bounds!");
	EXPECT_DEATH(Input().IsPressed(0, eControllerButton::_COUNT), "Index out of bounds!");
	EXPECT_DEATH(Input().GetControllerAxis(0, eControllerAxis::_COUNT), "Index out of bounds!");
}

TEST_F(InputDeathTest, EventWithoutAKindStopsTheInputPhase)
{
	GetEngine().GetInputQueue().PushBack(InputEvent(eInputEventType::_COUNT));
	EXPECT_DEATH(Frame(), "_COUNT enum value passed to InputEventQueue::Push\\(\\), which is an invalid value");
}
