// The 2D physics phase against raw Box2D on the same scene: 1,000 dynamic circles falling into a static open box,
// 600 frames of 1/60 s (one step each). Each iteration builds both scenes anew and times their 600 frames alone;
// the counters give the cost per frame of each side and the ratio engine / raw.
#include "benchsupport.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testrenderingdevice.hpp"
#include "physics2d/box2dcollidercomponent.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
#include "physics2d/physics2dimpl.hpp"
#include "physics2d/physics2dsystem.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"
#include "time/timesystem.hpp"

#include <benchmark/benchmark.h>
#include <box2d/box2d.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace Vorn;
using VornBench::IdleGame;
using VornBench::Milliseconds;

namespace
{
	constexpr int FRAME_COUNT = 600;
	constexpr int CIRCLE_COUNT = 1000;
	constexpr int CIRCLES_PER_ROW = 25;
	constexpr float CIRCLE_RADIUS = 0.5f;
	constexpr float DENSITY = 1.0f;
	constexpr float FRICTION = 0.2f;
	constexpr u64 SIXTIETH_OF_A_SECOND = 16'666'667;

	struct Box
	{
		b2Vec2 Centre;
		b2Vec2 Size;
	};

	// Floor and two walls: an open box 40 wide.
	const Box CONTAINER[] = {
	    {{0.0f, -0.5f}, {42.0f, 1.0f}}, {{-20.5f, 25.0f}, {1.0f, 50.0f}}, {{20.5f, 25.0f}, {1.0f, 50.0f}}};

	b2Vec2 CirclePosition(int index)
	{
		const int row = index / CIRCLES_PER_ROW;
		const int column = index % CIRCLES_PER_ROW;
		// Every other row shifted by half a spacing, so the circles do not stack in perfect columns.
		return b2Vec2(-15.0f + 1.2f * static_cast<float>(column) + (row % 2 == 0 ? 0.0f : 0.6f),
		              3.0f + 1.2f * static_cast<float>(row));
	}

	struct RunResult
	{
		std::chrono::steady_clock::duration Elapsed{};
		float Steps = 0.0f;
		int Awake = 0;
	};

	// The scene in the engine: 600 frames of the 2D physics phase, the time phase run (untimed) before each.
	RunResult RunEngine(VornTests::ManualClock& clock)
	{
		VornTests::TestRenderingDeviceLog deviceLog;
		auto engine = std::make_unique<Engine>();
		engine->Init(std::make_unique<IdleGame>(), std::make_unique<VornTests::TestRenderingDevice>(&deviceLog));
		World* world = engine->GetWorld();
		const Physics2DConfig& config = world->GetWorldComponent<Physics2DWorldComponent>()->GetConfig();
		for (const Box& box : CONTAINER)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			entity->GetTransform().SetGlobalTranslation(Vector(box.Centre.x, box.Centre.y, 0.0f));
			world->AddComponent<Box2DColliderComponent>(entity, Vector(box.Size.x, box.Size.y, 1.0f));
			world->AddComponent<RigidBody2DComponent>(entity, world, eRigidBody2DType::STATIC, DENSITY, FRICTION);
		}
		std::vector<RigidBody2DComponent*> circles;
		for (int index = 0; index < CIRCLE_COUNT; ++index)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			const b2Vec2 position = CirclePosition(index);
			entity->GetTransform().SetGlobalTranslation(Vector(position.x, position.y, 0.0f));
			world->AddComponent<Circle2DColliderComponent>(entity, CIRCLE_RADIUS);
			circles.push_back(
			    world->AddComponent<RigidBody2DComponent>(entity, world, eRigidBody2DType::DYNAMIC, DENSITY, FRICTION));
		}

		RunResult result;
		for (int frame = 0; frame < FRAME_COUNT; ++frame)
		{
			clock.AdvanceNanoseconds(SIXTIETH_OF_A_SECOND);
			TimeSystem::TimeUpdatePhase(world);
			result.Steps +=
			    static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY)) / config.TimeStep;
			const auto start = std::chrono::steady_clock::now();
			Physics2DSystem::Physics2DUpdatePhase(world);
			result.Elapsed += std::chrono::steady_clock::now() - start;
		}
		for (const RigidBody2DComponent* circle : circles)
			result.Awake += circle->GetImplData().Body->IsAwake() ? 1 : 0;
		return result;
	}

	// The same scene in Box2D alone, stepped with the same configuration.
	RunResult RunRawBox2D()
	{
		const Physics2DConfig config;
		b2World world(b2Vec2(config.Gravity.x, config.Gravity.y));
		for (const Box& box : CONTAINER)
		{
			b2BodyDef bodyDef;
			bodyDef.type = b2_staticBody;
			bodyDef.position = box.Centre;
			b2PolygonShape shape;
			shape.SetAsBox(box.Size.x * 0.5f, box.Size.y * 0.5f);
			b2FixtureDef fixtureDef;
			fixtureDef.shape = &shape;
			fixtureDef.density = DENSITY;
			fixtureDef.friction = FRICTION;
			world.CreateBody(&bodyDef)->CreateFixture(&fixtureDef);
		}
		for (int index = 0; index < CIRCLE_COUNT; ++index)
		{
			b2BodyDef bodyDef;
			bodyDef.type = b2_dynamicBody;
			bodyDef.position = CirclePosition(index);
			b2CircleShape shape;
			shape.m_radius = CIRCLE_RADIUS;
			b2FixtureDef fixtureDef;
			fixtureDef.shape = &shape;
			fixtureDef.density = DENSITY;
			fixtureDef.friction = FRICTION;
			world.CreateBody(&bodyDef)->CreateFixture(&fixtureDef);
		}

		RunResult result;
		const auto start = std::chrono::steady_clock::now();
		for (int frame = 0; frame < FRAME_COUNT; ++frame)
			world.Step(config.TimeStep, config.VelocityIterations, config.PositionIterations);
		result.Elapsed = std::chrono::steady_clock::now() - start;
		result.Steps = static_cast<float>(FRAME_COUNT);
		for (const b2Body* body = world.GetBodyList(); body; body = body->GetNext())
			result.Awake += body->GetType() == b2_dynamicBody && body->IsAwake() ? 1 : 0;
		return result;
	}

	// The counters give both sides per frame and their ratio.
	void EnginePhaseAgainstRawBox2D(benchmark::State& state)
	{
		VornTests::TempWorkingDirectory workingDirectory;
		VornTests::ManualClock clock;
		double engineMilliseconds = 0.0;
		double rawMilliseconds = 0.0;
		float engineSteps = 0.0f;
		int engineAwake = 0;
		int rawAwake = 0;
		VornBench::RunPaired(
		    state, [&] { return RunEngine(clock); }, [] { return RunRawBox2D(); },
		    [](const RunResult& engine) { return engine.Elapsed; },
		    [&](const RunResult& engine, const RunResult& raw)
		    {
			    engineMilliseconds += Milliseconds(engine.Elapsed);
			    rawMilliseconds += Milliseconds(raw.Elapsed);
			    engineSteps += engine.Steps;
			    engineAwake = engine.Awake;
			    rawAwake = raw.Awake;
		    });
		const double frames = FRAME_COUNT * static_cast<double>(state.iterations());
		state.counters["engine_ms_per_frame"] = engineMilliseconds / frames;
		state.counters["raw_ms_per_frame"] = rawMilliseconds / frames;
		state.counters["ratio"] = engineMilliseconds / rawMilliseconds;
		state.counters["steps_per_frame"] = engineSteps / frames;
		state.counters["engine_awake"] = engineAwake;
		state.counters["raw_awake"] = rawAwake;
	}
} // namespace

BENCHMARK(EnginePhaseAgainstRawBox2D)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
