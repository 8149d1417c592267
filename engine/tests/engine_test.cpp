#include "audio/soundworldcomponent.hpp"
#include "configs/debugconfig.hpp"
#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "debugdrawing/debugworldcomponent.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testengine.hpp"
#include "input/inputworldcomponent.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "physics3d/physics3dworldcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "time/timesystem.hpp"
#include "time/timeworldcomponent.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	// Everything a game phase can observe of the frame it runs in.
	struct FrameObservation
	{
		double SystemTime = -1.0;
		bool IsWPressed = false;
		int RenderCallsSoFar = -1;
	};
} // namespace

TEST(EngineTest, InitHandsOverToDeviceThenGameAndDestructionReleasesGameBeforeDevice)
{
	TestEngine harness;
	harness.Init();
	EXPECT_EQ(harness.GameLog.RegisteredEngine, &harness.GetEngine());
	EXPECT_TRUE(harness.GameLog.HadWorldAtRegisterEngine);
	EXPECT_EQ(harness.DeviceLog.InitCalls, 1);
	EXPECT_EQ(harness.GameLog.InitCalls, 1);

	harness.DestroyEngine();
	EXPECT_EQ(gEngine, nullptr);
	EXPECT_TRUE(harness.GameLog.HadWorldAndDeviceAtDeinit);
	const std::vector<std::string> expected = {"device Init", "game RegisterEngine", "game Init",
	                                           "game Deinit", "game destroyed",      "device destroyed"};
	EXPECT_EQ(harness.Trace, expected);
}

TEST(EngineTest, InitAddsTheEngineWorldComponents)
{
	TestEngine harness;
	harness.Init();
	World* world = harness.GetWorld();
	ASSERT_NE(world, nullptr);
	EXPECT_NE(world->GetWorldComponent<InputWorldComponent>(), nullptr);
	EXPECT_NE(world->GetWorldComponent<TimeWorldComponent>(), nullptr);
	EXPECT_NE(world->GetWorldComponent<DeferredTaskWorldComponent>(), nullptr);
	EXPECT_NE(world->GetWorldComponent<SoundWorldComponent>(), nullptr);
	EXPECT_NE(world->GetWorldComponent<DebugWorldComponent>(), nullptr);
	EXPECT_NE(world->GetWorldComponent<DebugDrawStateWorldComponent>(), nullptr);
	const Physics2DWorldComponent* physics2D = world->GetWorldComponent<Physics2DWorldComponent>();
	ASSERT_NE(physics2D, nullptr);
	EXPECT_EQ(physics2D->GetConfig().TimeStep, 1.0f / 60.0f);
	EXPECT_EQ(physics2D->GetConfig().VelocityIterations, 8);
	EXPECT_EQ(physics2D->GetConfig().PositionIterations, 3);
	EXPECT_EQ(physics2D->GetGravity(), Vector(0.0f, -9.81f, 0.0f));
	const Physics3DWorldComponent* physics3D = world->GetWorldComponent<Physics3DWorldComponent>();
	ASSERT_NE(physics3D, nullptr);
	EXPECT_EQ(physics3D->GetTimeStep(), 1.0f / 60.0f);
	EXPECT_EQ(physics3D->GetGravity(), Vector(0.0f, -9.81f, 0.0f));
	const ViewportWorldComponent* viewports = world->GetWorldComponent<ViewportWorldComponent>();
	ASSERT_NE(viewports, nullptr);
	EXPECT_EQ(viewports->GetViewports().count(0), 1u);
}

TEST(EngineTest, GamePhaseRunsAfterEveryPreupdatePhaseAndBeforeEveryPostupdatePhase)
{
	TestEngine harness;
	std::vector<FrameObservation> observed;
	harness.GetGame().AddPhaseOnInit(
	    [&](World* world)
	    {
		    FrameObservation frame;
		    frame.SystemTime = world->GetWorldComponent<TimeWorldComponent>()->GetSystemTime();
		    frame.IsWPressed = world->GetWorldComponent<InputWorldComponent>()->IsPressed(eKey::W);
		    frame.RenderCallsSoFar = harness.DeviceLog.RenderWorldCalls;
		    observed.push_back(frame);
	    });
	harness.Init();

	harness.GetEngine().KeyDown(eKey::W);
	harness.RunFrame(16);

	ASSERT_EQ(observed.size(), 1u);
	EXPECT_NEAR(observed[0].SystemTime, 0.016, 1e-9) << "time phase must run before the game";
	EXPECT_TRUE(observed[0].IsWPressed) << "input phase must run before the game";
	EXPECT_EQ(observed[0].RenderCallsSoFar, 0) << "rendering must run after the game";
	EXPECT_EQ(harness.DeviceLog.RenderWorldCalls, 1);
	EXPECT_EQ(harness.DeviceLog.LastRenderedWorld, harness.GetWorld());
}

TEST(EngineTest, EntityDestroyedInGamePhaseIsStillThereWhenRenderedAndGoneAfterTheFrame)
{
	TestEngine harness;
	harness.GetGame().AddPhaseOnInit(
	    [](World* world)
	    {
		    Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
		    DeferredTaskSystem::DestroyEntity(world, entity);
	    });
	u64 childrenWhenRendered = 0;
	harness.DeviceLog.OnRenderWorld = [&](World* world)
	{ childrenWhenRendered = world->GetRoot()->GetChildren().GetSize(); };
	harness.Init();

	harness.RunFrame();

	EXPECT_EQ(childrenWhenRendered, 1u);
	EXPECT_EQ(harness.GetWorld()->GetRoot()->GetChildren().GetSize(), 0u);
}

TEST(EngineTest, InputQueuedBetweenFramesIsSeenOnlyAfterTheNextInputPhaseWithTimeAlreadyAdvanced)
{
	TestEngine harness;
	std::vector<FrameObservation> observed;
	harness.GetGame().AddPhaseOnInit(
	    [&](World* world)
	    {
		    FrameObservation frame;
		    frame.SystemTime = world->GetWorldComponent<TimeWorldComponent>()->GetSystemTime();
		    frame.IsWPressed = world->GetWorldComponent<InputWorldComponent>()->IsPressed(eKey::W);
		    observed.push_back(frame);
	    });
	harness.Init();
	harness.RunFrame(10);

	harness.GetEngine().KeyDown(eKey::W);
	EXPECT_FALSE(harness.GetWorld()->GetWorldComponent<InputWorldComponent>()->IsPressed(eKey::W));
	EXPECT_EQ(harness.GetEngine().GetInputQueue().GetSize(), 1u);
	harness.RunFrame(20);

	ASSERT_EQ(observed.size(), 2u);
	EXPECT_FALSE(observed[0].IsWPressed);
	EXPECT_TRUE(observed[1].IsWPressed);
	EXPECT_NEAR(observed[1].SystemTime, 0.030, 1e-9);
	EXPECT_TRUE(harness.GetEngine().GetInputQueue().IsEmpty());
}

TEST(EngineTest, InputEntryPointsQueueOneEventWithOnlyTheirFieldsFilled)
{
	struct Case
	{
		const char* Name;
		std::function<void(Engine&)> Call;
		std::function<void(InputEvent&)> Expect; // fills the expected fields into a default event
		eInputEventType Type;
	};
	const Case cases[] = {
	    {"KeyDown", [](Engine& e) { e.KeyDown(eKey::SPACE); }, [](InputEvent& x) { x.Key = eKey::SPACE; },
	     eInputEventType::KEYDOWN},
	    {"KeyUp", [](Engine& e) { e.KeyUp(eKey::ESCAPE); }, [](InputEvent& x) { x.Key = eKey::ESCAPE; },
	     eInputEventType::KEYUP},
	    {"MouseButtonDown", [](Engine& e) { e.MouseButtonDown(eMouseButton::RIGHT); },
	     [](InputEvent& x) { x.MouseButton = eMouseButton::RIGHT; }, eInputEventType::MOUSEBUTTONDOWN},
	    {"MouseButtonUp", [](Engine& e) { e.MouseButtonUp(eMouseButton::LEFT); },
	     [](InputEvent& x) { x.MouseButton = eMouseButton::LEFT; }, eInputEventType::MOUSEBUTTONUP},
	    {"UpdateMouseMove",
	     [](Engine& e) {
		     e.UpdateMouseMove({3, -4});
	     },
	     [](InputEvent& x) {
		     x.Pos = {3, -4};
	     },
	     eInputEventType::MOUSEMOVE},
	    {"UpdateMousePos",
	     [](Engine& e) {
		     e.UpdateMousePos({640, 360});
	     },
	     [](InputEvent& x) {
		     x.Pos = {640, 360};
	     },
	     eInputEventType::MOUSEPOS},
	    {"UpdateWheelPos",
	     [](Engine& e) {
		     e.UpdateWheelPos({0, 1});
	     },
	     [](InputEvent& x) {
		     x.Pos = {0, 1};
	     },
	     eInputEventType::WHEELMOVE},
	    {"AddController", [](Engine& e) { e.AddController(77); }, [](InputEvent& x) { x.ControllerID = 77; },
	     eInputEventType::CONTROLLERADDED},
	    {"RemoveController", [](Engine& e) { e.RemoveController(78); }, [](InputEvent& x) { x.ControllerID = 78; },
	     eInputEventType::CONTROLLERREMOVED},
	    {"ControllerButtonDown", [](Engine& e) { e.ControllerButtonDown(5, eControllerButton::START); },
	     [](InputEvent& x)
	     {
		     x.ControllerID = 5;
		     x.ControllerButton = eControllerButton::START;
	     },
	     eInputEventType::CONTROLLERBUTTONDOWN},
	    {"ControllerButtonUp", [](Engine& e) { e.ControllerButtonUp(6, eControllerButton::DPAD_LEFT); },
	     [](InputEvent& x)
	     {
		     x.ControllerID = 6;
		     x.ControllerButton = eControllerButton::DPAD_LEFT;
	     },
	     eInputEventType::CONTROLLERBUTTONUP},
	    {"ControllerAxisMotion", [](Engine& e) { e.ControllerAxisMotion(7, eControllerAxis::RIGHTY, 1000); },
	     [](InputEvent& x)
	     {
		     x.ControllerID = 7;
		     x.ControllerAxis = eControllerAxis::RIGHTY;
		     x.AxisValue = static_cast<float>(1000 / 35768.0);
	     },
	     eInputEventType::CONTROLLERAXIS},
	};

	TestEngine harness;
	Queue<InputEvent>& queue = harness.GetEngine().GetInputQueue();
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.Name);
		c.Call(harness.GetEngine());
		ASSERT_EQ(queue.GetSize(), 1u);
		InputEvent expected(c.Type);
		c.Expect(expected);
		const InputEvent& actual = queue.Front();
		EXPECT_EQ(actual.Type, expected.Type);
		EXPECT_EQ(actual.Key, expected.Key);
		EXPECT_EQ(actual.MouseButton, expected.MouseButton);
		EXPECT_EQ(actual.Pos, expected.Pos);
		EXPECT_EQ(actual.ControllerID, expected.ControllerID);
		EXPECT_EQ(actual.ControllerButton, expected.ControllerButton);
		EXPECT_EQ(actual.ControllerAxis, expected.ControllerAxis);
		EXPECT_FLOAT_EQ(actual.AxisValue, expected.AxisValue);
		queue.PopFront();
	}
}

TEST(EngineTest, ControllerAxisValueIsDividedBy35768)
{
	const struct
	{
		short Raw;
		float Expected;
	} cases[] = {{32767, 0.916098f}, {-32768, -0.916126f}, {0, 0.0f}, {16384, 0.458063f}};

	TestEngine harness;
	for (const auto& c : cases)
	{
		harness.GetEngine().ControllerAxisMotion(1, eControllerAxis::LEFTX, c.Raw);
		EXPECT_NEAR(harness.GetEngine().GetInputQueue().Front().AxisValue, c.Expected, 1e-6) << c.Raw;
		harness.GetEngine().GetInputQueue().PopFront();
	}
}

TEST(EngineTest, DestroyingAnEngineWhoseInitNeverRanCallsNoGameAndClearsTheGlobal)
{
	TestEngine harness;
	harness.GetEngine().KeyDown(eKey::A);
	EXPECT_EQ(gEngine, &harness.GetEngine());
	EXPECT_EQ(harness.GetEngine().GetWorld(), nullptr);

	harness.DestroyEngine();

	EXPECT_EQ(gEngine, nullptr);
	EXPECT_EQ(harness.GameLog.DeinitCalls, 0);
	EXPECT_TRUE(harness.Trace.empty());
}

TEST(EngineTest, QuitRequestStaysSetInEveryLaterFrame)
{
	TestEngine harness(2);
	harness.Init();
	harness.RunFrame();
	EXPECT_FALSE(harness.GetEngine().IsQuitRequested());
	for (int frame = 2; frame <= 5; ++frame)
	{
		harness.RunFrame();
		EXPECT_TRUE(harness.GetEngine().IsQuitRequested()) << "frame " << frame;
	}
	EXPECT_EQ(harness.GameLog.FramesRun, 5u);
}

TEST(EngineTest, ResizeScreenLogsTheSizeAtDebugAndPassesItToTheDevice)
{
	TestEngine harness;
	harness.Init();
	ConsoleCapture console;

	harness.GetEngine().ResizeScreen({800, 600});

	EXPECT_EQ(console.GetText(), "[DEBUG] Screen resize: 800 600\n");
	EXPECT_EQ(harness.DeviceLog.ResizeCalls, 1);
	EXPECT_EQ(harness.DeviceLog.LastResize.Width, 800);
	EXPECT_EQ(harness.DeviceLog.LastResize.Height, 600);
	EXPECT_EQ(harness.GetEngine().GetRenderingDevice()->GetScreenSize().Width, 800);
}

TEST(EngineTest, MouseFlagsStartCapturedOffAndVisibleOnAndKeepWhatIsSet)
{
	TestEngine harness;
	Engine& engine = harness.GetEngine();
	EXPECT_FALSE(engine.ShouldCaptureMouse());
	EXPECT_TRUE(engine.ShouldMouseBeVisible());
	engine.SetMouseCapture(true);
	engine.SetMouseVisible(false);
	EXPECT_TRUE(engine.ShouldCaptureMouse());
	EXPECT_FALSE(engine.ShouldMouseBeVisible());
}

TEST(EngineTest, ConstructionLoadsBothConfigurationsAndEnablesPresetBit0x10)
{
	gDebugConfig.SetDebugDrawPresets(EnumFlags<eDebugDrawPreset>::FromMask(0x2));
	TestEngine harness;
	EXPECT_EQ(gDebugConfig.GetDebugDrawPresets().GetMask(), 0x12u);
	EXPECT_TRUE(std::filesystem::exists("AssetsPathConfig.json"));
	EXPECT_TRUE(std::filesystem::exists("../Engine/Res/Configs/DebugConfig.json"));
}

TEST(EngineDeathTest, CreatingASecondEngineStops)
{
	TestEngine harness;
	EXPECT_DEATH(Engine second, "Creating engine twice\\?");
}
