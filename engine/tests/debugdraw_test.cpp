#include "configs/debugconfig.hpp"
#include "debugdrawing/debugdrawablecomponent.hpp"
#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "debugdrawing/debugdrawsystem.hpp"
#include "debugdrawing/debugworldcomponent.hpp"
#include "debugdrawing/fpssystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "fixtures/testengine.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/meshresource.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	constexpr float EPSILON = 1e-4f;
	// Enabled by the engine's start-up, so the automatic drawings of this preset are made.
	const eDebugDrawPreset ENABLED_PRESET = static_cast<eDebugDrawPreset>(0x2);

	Vector ToVector(const Vector3f& point) { return Vector(point.x, point.y, point.z); }

	::testing::AssertionResult IsNear(const Vector3f& actual, const Vector& expected)
	{
		if (std::fabs(actual.x - expected.x) < EPSILON && std::fabs(actual.y - expected.y) < EPSILON &&
		    std::fabs(actual.z - expected.z) < EPSILON)
			return ::testing::AssertionSuccess();
		return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not ("
		                                     << expected.x << ", " << expected.y << ", " << expected.z << ")";
	}

	class DebugDrawTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Engine.GetGame().AddPhaseOnInit(
			    [this](World* world)
			    {
				    if (GamePhase)
					    GamePhase(world);
			    });
			Engine.Init();
			State = GetWorld()->GetWorldComponent<DebugDrawStateWorldComponent>();
			ASSERT_NE(State, nullptr);
		}
		void TearDown() override
		{
			gDebugConfig.SetDebugRenderingActive(false);
			gDebugConfig.SetDisplayFPS(SavedDisplayFPS);
		}

		World* GetWorld() { return Engine.GetWorld(); }

		// Runs the debug phase with the camera in debug mode, so the drawing functions collect from then on.
		void EnterDebugMode()
		{
			Engine.GetCamera()->SetRenderingMode(eRenderingModeType::DEBUG_DRAW);
			DebugDrawSystem::DebugRenderingUpdatePhase(GetWorld());
			ASSERT_TRUE(gDebugConfig.IsDebugRenderingActive());
		}

		std::vector<ScreenSpaceTextComponent*> PoolTexts()
		{
			std::vector<ScreenSpaceTextComponent*> texts;
			for (const SafePtr<Entity>& entity : State->DebugTextsEntities)
				texts.push_back(entity.Get() ? entity.Get()->GetComponent<ScreenSpaceTextComponent>() : nullptr);
			return texts;
		}

		// Every collected line has one colour at both ends.
		void ExpectLinesColored(const Color& color)
		{
			ASSERT_EQ(State->DebugLinesColors.GetSize(), State->DebugLines.GetSize());
			for (const auto& [start, end] : State->DebugLinesColors)
			{
				EXPECT_EQ(start, color);
				EXPECT_EQ(end, color);
			}
		}

		TestEngine Engine;
		// Run by the game's phase of every frame, when set.
		std::function<void(World*)> GamePhase;
		DebugDrawStateWorldComponent* State = nullptr;
		const bool SavedDisplayFPS = gDebugConfig.GetDisplayFPS();
	};

	::testing::AssertionResult IsBlank(const ScreenSpaceTextComponent* text)
	{
		if (!text)
			return ::testing::AssertionFailure() << "the entity is gone";
		const Text2D& shown = text->GetText();
		if (shown.GetText().IsEmpty() && shown.GetFontSize() == 0 && shown.GetFontColor() == Color::WHITE &&
		    text->GetScreenPosition().x == 0 && text->GetScreenPosition().y == 0)
			return ::testing::AssertionSuccess();
		return ::testing::AssertionFailure() << "shows '" << shown.GetText().GetCStr() << "'";
	}
} // namespace

TEST_F(DebugDrawTest, ShapesBecomeTheirNumberOfLinesInOneColour)
{
	EnterDebugMode();
	const Vector center(1.0f, 2.0f, 3.0f);
	struct Case
	{
		const char* Name;
		std::function<void(World*)> Draw;
		u64 Lines;
	};
	const Case cases[] = {
	    {"line", [&](World* w) { DebugDrawSystem::DrawLine(w, center, Vector::ZERO, Color::RED); }, 1},
	    {"box", [&](World* w) { DebugDrawSystem::DrawBox(w, Vector::ZERO, center, Color::RED); }, 12},
	    {"arrow: a shaft and 15 spokes of two lines",
	     [&](World* w) { DebugDrawSystem::DrawArrow(w, center, Vector::UNIT_Y, Color::RED); }, 31},
	    {"circle: 24 segments and an arrow",
	     [&](World* w) { DebugDrawSystem::DrawCircle(w, center, 2.0f, Vector::UNIT_Z, Color::RED); }, 24 + 31},
	    {"sphere: three circles", [&](World* w) { DebugDrawSystem::DrawSphere(w, center, 2.0f, Color::RED); },
	     3 * (24 + 31)},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		State->Clear();
		testCase.Draw(GetWorld());
		EXPECT_EQ(State->DebugLines.GetSize(), testCase.Lines);
		ExpectLinesColored(Color::RED);
	}
}

TEST_F(DebugDrawTest, BoxEdgesComeInTheirCornerOrder)
{
	EnterDebugMode();
	DebugDrawSystem::DrawBox(GetWorld(), Vector(0.0f, 0.0f, 0.0f), Vector(1.0f, 2.0f, 3.0f), Color::GREEN);
	const Vector c[8] = {
	    Vector(0.0f, 0.0f, 0.0f), Vector(1.0f, 0.0f, 0.0f), Vector(1.0f, 2.0f, 0.0f), Vector(0.0f, 2.0f, 0.0f),
	    Vector(0.0f, 0.0f, 3.0f), Vector(1.0f, 0.0f, 3.0f), Vector(1.0f, 2.0f, 3.0f), Vector(0.0f, 2.0f, 3.0f),
	};
	const int edges[12][2] = {{0, 4}, {0, 1}, {5, 4}, {5, 1}, {3, 7}, {3, 2},
	                          {6, 7}, {6, 2}, {0, 3}, {1, 2}, {4, 7}, {5, 6}};
	ASSERT_EQ(State->DebugLines.GetSize(), 12u);
	for (int i = 0; i < 12; ++i)
	{
		SCOPED_TRACE(i);
		EXPECT_TRUE(IsNear(State->DebugLines[i].first, c[edges[i][0]]));
		EXPECT_TRUE(IsNear(State->DebugLines[i].second, c[edges[i][1]]));
	}
}

TEST_F(DebugDrawTest, CircleSegmentsCloseOnTheCircleAndItsArrowMarksTheStart)
{
	EnterDebugMode();
	const Vector center(1.0f, -2.0f, 0.5f);
	const float radius = 3.0f;
	for (const Vector& normal : {Vector::UNIT_X, Vector::UNIT_Y, Vector::UNIT_Z, Vector(0.0f, 0.0f, -1.0f),
	                             Vector(1.0f, 1.0f, 1.0f).GetNormalized()})
	{
		SCOPED_TRACE(::testing::Message() << normal.x << ", " << normal.y << ", " << normal.z);
		State->Clear();
		DebugDrawSystem::DrawCircle(GetWorld(), center, radius, normal, Color::BLUE);
		ASSERT_EQ(State->DebugLines.GetSize(), 24u + 31u);
		for (int i = 0; i < 24; ++i)
		{
			const Vector start = ToVector(State->DebugLines[i].first) - center;
			const Vector end = ToVector(State->DebugLines[i].second) - center;
			EXPECT_NEAR(start.Length(), radius, EPSILON);
			EXPECT_NEAR(start.Dot(normal), 0.0f, EPSILON);
			EXPECT_NEAR(std::acos(std::clamp(start.Dot(end) / (radius * radius), -1.0f, 1.0f)) * 180.0f / 3.14159265f,
			            15.0f, 1e-2f);
			EXPECT_TRUE(IsNear(State->DebugLines[(i + 1) % 24].first, ToVector(State->DebugLines[i].second)));
		}
		// The arrow's shaft runs from the centre half-way to where the circle starts.
		const Vector circleStart = ToVector(State->DebugLines[0].first);
		EXPECT_TRUE(IsNear(State->DebugLines[24].first, center));
		EXPECT_TRUE(IsNear(State->DebugLines[24].second, center + (circleStart - center) * 0.5f));
	}
}

TEST_F(DebugDrawTest, ArrowHeadIsAConeOfHalfAUnitBeyondTheShaftWhateverTheStart)
{
	EnterDebugMode();
	struct Case
	{
		const char* Name;
		Vector Start;
		Vector Direction;
	};
	const Case cases[] = {
	    {"from the origin", Vector::ZERO, Vector(0.0f, 0.0f, 4.0f)},
	    {"from elsewhere", Vector(2.0f, 0.0f, 0.0f), Vector(0.0f, 6.0f, 0.0f)},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		State->Clear();
		DebugDrawSystem::DrawArrow(GetWorld(), testCase.Start, testCase.Direction, Color::WHITE);
		ASSERT_EQ(State->DebugLines.GetSize(), 31u);
		const Vector shaftEnd = testCase.Start + testCase.Direction * 0.5f;
		const Vector tip = shaftEnd + testCase.Direction.GetNormalized() * 0.5f;
		EXPECT_TRUE(IsNear(State->DebugLines[0].first, testCase.Start)) << "the shaft starts at the start";
		EXPECT_TRUE(IsNear(State->DebugLines[0].second, shaftEnd));
		for (int spoke = 0; spoke < 15; ++spoke)
		{
			SCOPED_TRACE(spoke);
			const auto& out = State->DebugLines[1 + 2 * spoke];
			const auto& back = State->DebugLines[2 + 2 * spoke];
			const Vector side = ToVector(out.second) - shaftEnd;
			EXPECT_TRUE(IsNear(out.first, shaftEnd));
			EXPECT_NEAR(side.Length(), 0.5f, EPSILON);
			EXPECT_NEAR(side.Dot(testCase.Direction.GetNormalized()), 0.0f, EPSILON);
			EXPECT_TRUE(IsNear(back.first, ToVector(out.second)));
			EXPECT_TRUE(IsNear(back.second, tip));
		}
	}
	// From the origin the side vector comes from (0.01, 0.01, 0.01) x d: for d = +Z that is along (1, -1, 0).
	State->Clear();
	DebugDrawSystem::DrawArrow(GetWorld(), Vector::ZERO, Vector(0.0f, 0.0f, 4.0f), Color::WHITE);
	const float half = 0.5f / std::sqrt(2.0f);
	EXPECT_TRUE(IsNear(State->DebugLines[1].second, Vector(half, -half, 2.0f)));
}

TEST_F(DebugDrawTest, NothingIsCollectedWithoutACameraInDebugMode)
{
	std::vector<u64> linesSeenByDevice;
	Engine.DeviceLog.OnRenderWorld = [&](World* world)
	{ linesSeenByDevice.push_back(world->GetWorldComponent<DebugDrawStateWorldComponent>()->DebugLines.GetSize()); };
	GamePhase = [](World* world)
	{
		DebugDrawSystem::DrawLine(world, Vector::ZERO, Vector::UNIT_X, Color::RED);
		DebugDrawSystem::DrawText2D(world, Vector2i(5, 5), "text", 16, Color::RED);
	};

	Engine.RunFrame();
	Engine.RunFrame();
	EXPECT_FALSE(gDebugConfig.IsDebugRenderingActive());
	EXPECT_TRUE(State->DebugTexts.IsEmpty());
	EXPECT_TRUE(State->DebugTextsEntities.IsEmpty());

	Engine.GetCamera()->SetRenderingMode(eRenderingModeType::DEBUG_DRAW);
	Engine.RunFrame(); // the game phase still saw debug drawing off; the debug phase switches it on
	Engine.RunFrame();
	EXPECT_EQ(linesSeenByDevice, (std::vector<u64>{0, 0, 0, 1})) << "lines reach the device in their frame";
	EXPECT_TRUE(State->DebugLines.IsEmpty()) << "the device removed them";
	const std::vector<ScreenSpaceTextComponent*> shown = PoolTexts();
	EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
	                        [](const ScreenSpaceTextComponent* text) { return text->GetText().GetText() == "text"; }));

	Engine.GetCamera()->SetRenderingMode(eRenderingModeType::LIT);
	Engine.RunFrame();
	EXPECT_FALSE(gDebugConfig.IsDebugRenderingActive());
	EXPECT_TRUE(State->DebugTexts.IsEmpty());
	for (ScreenSpaceTextComponent* text : PoolTexts())
		EXPECT_TRUE(IsBlank(text)) << "leaving debug mode hides the debug texts";
}

TEST_F(DebugDrawTest, TextPoolReusesItsEntitiesAndBlanksTheUnused)
{
	EnterDebugMode();
	DebugDrawSystem::DrawText2D(GetWorld(), Vector2i(1, 2), "one", 10, Color::RED);
	DebugDrawSystem::DrawText2D(GetWorld(), Vector2i(3, 4), "two", 20, Color::GREEN);
	DebugDrawSystem::DrawText2D(GetWorld(), Vector2i(5, 6), "three", 30, Color::BLUE);
	DebugDrawSystem::DebugRenderingUpdatePhase(GetWorld());
	EXPECT_TRUE(State->DebugTexts.IsEmpty());
	std::vector<ScreenSpaceTextComponent*> texts = PoolTexts();
	ASSERT_EQ(texts.size(), 3u);
	EXPECT_EQ(texts[2]->GetText().GetText(), "three");
	EXPECT_EQ(texts[2]->GetText().GetFontSize(), 30u);
	EXPECT_EQ(texts[2]->GetText().GetFontColor(), Color::BLUE);
	EXPECT_EQ(texts[2]->GetScreenPosition().x, 5);
	EXPECT_EQ(texts[2]->GetScreenPosition().y, 6);
	EXPECT_EQ(texts[0]->GetText().GetFont(), DebugDrawSystem::DEBUG_FONT_PATH);
	EXPECT_EQ(texts[0]->GetText().GetFontSource(), eResourceSource::ENGINE);

	DebugDrawSystem::DrawText2D(GetWorld(), Vector2i(7, 8), "four", 40, Color::WHITE);
	DebugDrawSystem::DebugRenderingUpdatePhase(GetWorld());
	ASSERT_EQ(PoolTexts(), texts) << "the same three entities";
	EXPECT_EQ(texts[0]->GetText().GetText(), "four");
	EXPECT_EQ(texts[0]->GetScreenPosition().x, 7);
	EXPECT_TRUE(IsBlank(texts[1]));
	EXPECT_TRUE(IsBlank(texts[2]));

	// An entity destroyed by someone else leaves the pool, and a new one takes its place when needed.
	DeferredTaskSystem::DestroyEntity(GetWorld(), State->DebugTextsEntities[0].Get());
	DeferredTaskSystem::DeferredTaskPhase(GetWorld());
	ASSERT_EQ(State->DebugTextsEntities[0].Get(), nullptr);
	for (const char* text : {"a", "b", "c"})
		DebugDrawSystem::DrawText2D(GetWorld(), Vector2i(0, 0), text, 10, Color::WHITE);
	DebugDrawSystem::DebugRenderingUpdatePhase(GetWorld());
	texts = PoolTexts();
	ASSERT_EQ(texts.size(), 3u);
	EXPECT_EQ(texts[0]->GetText().GetText(), "a");
	EXPECT_EQ(texts[2]->GetText().GetText(), "c");
}

TEST_F(DebugDrawTest, MarkedEntitiesGetTheirAutomaticDrawings)
{
	World* world = GetWorld();
	Entity* lightEntity = DeferredTaskSystem::SpawnEntityImmediate(world);
	lightEntity->GetTransform().SetLocalTranslation(Vector(1.0f, 2.0f, 3.0f));
	world->AddComponent<DirectionalLightComponent>(lightEntity, Color::WHITE, 2.0f);
	world->AddComponent<DebugDrawableComponent>(lightEntity, ENABLED_PRESET);

	Entity* bodyEntity = DeferredTaskSystem::SpawnEntityImmediate(world);
	world->AddComponent<Circle2DColliderComponent>(bodyEntity, 0.5f);
	RigidBody2DComponent* body =
	    world->AddComponent<RigidBody2DComponent>(bodyEntity, world, eRigidBody2DType::KINEMATIC, 1.0f, 0.2f);
	world->AddComponent<DebugDrawableComponent>(bodyEntity, ENABLED_PRESET);

	Entity* meshEntity = DeferredTaskSystem::SpawnEntityImmediate(world);
	meshEntity->GetTransform().SetLocalTranslation(Vector(10.0f, 0.0f, 0.0f));
	meshEntity->GetTransform().SetLocalScale(2.0f);
	MeshRenderingComponent* mesh = world->AddComponent<MeshRenderingComponent>(
	    meshEntity, VORN_GENERATED_GAME_ASSETS_PATH "Models/Primitives/Sphere_LowPoly.obj", eResourceSource::NONE);
	ASSERT_NE(mesh->GetMesh(), nullptr);
	world->AddComponent<DebugDrawableComponent>(meshEntity, ENABLED_PRESET);

	// Marked with a preset the configuration does not enable: nothing is drawn for it.
	Entity* hidden = DeferredTaskSystem::SpawnEntityImmediate(world);
	world->AddComponent<DirectionalLightComponent>(hidden);
	world->AddComponent<DebugDrawableComponent>(hidden, static_cast<eDebugDrawPreset>(0x40));

	Engine.RunFrame(); // registers the bodies and places the entities
	body->SetLinearVelocity(Vector(4.0f, 0.0f, 0.0f));
	EnterDebugMode();

	// The phase draws the mesh bounds first, then the velocities, then the lights.
	ASSERT_EQ(State->DebugLines.GetSize(), 12u + 31u + 31u);
	for (u64 i = 0; i < State->DebugLines.GetSize(); ++i)
	{
		const Color expected = i < 12 ? Color::GREEN : (i < 43 ? Color::RED : Color::WHITE);
		EXPECT_EQ(State->DebugLinesColors[i].first, expected) << "line " << i;
	}

	Vector3f minimum(1e9f, 1e9f, 1e9f);
	Vector3f maximum(-1e9f, -1e9f, -1e9f);
	for (const Vector3f& p : mesh->GetMesh()->GetSubMeshes()[0]->GetMeshData().GetPositions())
	{
		minimum = Vector3f(std::min(minimum.x, p.x), std::min(minimum.y, p.y), std::min(minimum.z, p.z));
		maximum = Vector3f(std::max(maximum.x, p.x), std::max(maximum.y, p.y), std::max(maximum.z, p.z));
	}
	EXPECT_TRUE(IsNear(State->DebugLines[0].first,
	                   Vector(10.0f + 2.0f * minimum.x - 0.04f, 2.0f * minimum.y - 0.04f, 2.0f * minimum.z - 0.04f)));
	EXPECT_TRUE(IsNear(State->DebugLines[11].second,
	                   Vector(10.0f + 2.0f * maximum.x + 0.04f, 2.0f * maximum.y + 0.04f, 2.0f * maximum.z + 0.04f)));

	EXPECT_TRUE(IsNear(State->DebugLines[12].first, body->GetTransform().GetLocalTranslation()));
	EXPECT_TRUE(
	    IsNear(State->DebugLines[12].second, body->GetTransform().GetLocalTranslation() + Vector(2.0f, 0.0f, 0.0f)))
	    << "half the velocity";

	// The light's arrow is twice its intensity long along its forward vector.
	const Vector lightShaft = ToVector(State->DebugLines[43].second) - ToVector(State->DebugLines[43].first);
	EXPECT_TRUE(IsNear(State->DebugLines[43].first, Vector(1.0f, 2.0f, 3.0f)));
	EXPECT_NEAR(lightShaft.Length(), 0.5f * 2.0f * 2.0f, EPSILON);
}

TEST_F(DebugDrawTest, FrameCounterCountsFramesOfEachSecondOnlyWhileDisplayed)
{
	gDebugConfig.SetDisplayFPS(false);
	for (int frame = 0; frame < 30; ++frame)
		Engine.RunFrame(90);
	FPSSystem::FPSData data = GetWorld()->GetWorldComponent<DebugWorldComponent>()->GetFPSData();
	EXPECT_EQ(data.FrameCount, 30u) << "frames are counted even while not displayed";
	EXPECT_EQ(data.LastFPS, 0u);
	EXPECT_TRUE(data.DisplayText.IsEmpty());
	EXPECT_EQ(FPSSystem::GetFPS(GetWorld()), 0.0f);

	gDebugConfig.SetDisplayFPS(true);
	Engine.RunFrame(90);
	data = GetWorld()->GetWorldComponent<DebugWorldComponent>()->GetFPSData();
	EXPECT_EQ(data.LastFPS, 30u) << "the first update takes the frames counted so far";
	EXPECT_EQ(data.DisplayText, "FPS: 30");

	// 90-ms frames, longer than the system timer takes: the next update comes with the twelfth frame, the first
	// one more than a second of real time later.
	for (int frame = 0; frame < 11; ++frame)
		Engine.RunFrame(90);
	EXPECT_EQ(FPSSystem::GetFPS(GetWorld()), 30.0f);
	Engine.GetCamera()->SetRenderingMode(eRenderingModeType::DEBUG_DRAW);
	Engine.RunFrame(90);
	EXPECT_EQ(FPSSystem::GetFPS(GetWorld()), 12.0f);
	EXPECT_EQ(GetWorld()->GetWorldComponent<DebugWorldComponent>()->GetFPSData().DisplayText, "FPS: 12");

	// The next debug phase shows the count at (300, 300), 32 pixels high, in white.
	Engine.RunFrame(90);
	ASSERT_FALSE(State->DebugTextsEntities.IsEmpty());
	const ScreenSpaceTextComponent* shown = PoolTexts()[0];
	EXPECT_EQ(shown->GetText().GetText(), "FPS: 12");
	EXPECT_EQ(shown->GetText().GetFontSize(), 32u);
	EXPECT_EQ(shown->GetText().GetFontColor(), Color::WHITE);
	EXPECT_EQ(shown->GetScreenPosition().x, 300);
	EXPECT_EQ(shown->GetScreenPosition().y, 300);
}
