// The 2D physics phase against raw Box2D on the same scene: 1,000 dynamic circles falling into a static open box,
// 600 frames of 1/60 s (one step each). Each iteration builds the scene anew and times the 600 frames alone; the
// "ms_per_frame" counters of the two benchmarks compare directly.
#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testrenderingdevice.hpp"
#include "physics2d/box2dcollidercomponent.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
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

	double Milliseconds(std::chrono::steady_clock::duration duration)
	{
		return std::chrono::duration<double, std::milli>(duration).count();
	}

	void EnginePhase(benchmark::State& state)
	{
		VornTests::TempWorkingDirectory workingDirectory;
		VornTests::ManualClock clock;
		VornTests::TestRenderingDeviceLog deviceLog;
		class IdleGame : public IGame
		{
			void RegisterEngine(Engine*) override {}
			void Init() override {}
			void Deinit() override {}
		};
		double totalMilliseconds = 0.0;
		float steps = 0.0f;
		for (auto _ : state)
		{
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
				circles.push_back(world->AddComponent<RigidBody2DComponent>(entity, world, eRigidBody2DType::DYNAMIC,
				                                                            DENSITY, FRICTION));
			}

			std::chrono::steady_clock::duration elapsed{};
			for (int frame = 0; frame < FRAME_COUNT; ++frame)
			{
				clock.AdvanceNanoseconds(SIXTIETH_OF_A_SECOND);
				TimeSystem::TimeUpdatePhase(world);
				steps +=
				    static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY)) / config.TimeStep;
				const auto start = std::chrono::steady_clock::now();
				Physics2DSystem::Physics2DUpdatePhase(world);
				elapsed += std::chrono::steady_clock::now() - start;
			}
			benchmark::DoNotOptimize(circles.back()->GetTransform().GetGlobalTranslation());
			state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
			totalMilliseconds += Milliseconds(elapsed);
		}
		state.counters["ms_per_frame"] = totalMilliseconds / (FRAME_COUNT * static_cast<double>(state.iterations()));
		state.counters["steps_per_frame"] = steps / (FRAME_COUNT * static_cast<float>(state.iterations()));
	}

	void RawBox2D(benchmark::State& state)
	{
		const Physics2DConfig config;
		double totalMilliseconds = 0.0;
		for (auto _ : state)
		{
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
			b2Body* last = nullptr;
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
				last = world.CreateBody(&bodyDef);
				last->CreateFixture(&fixtureDef);
			}

			const auto start = std::chrono::steady_clock::now();
			for (int frame = 0; frame < FRAME_COUNT; ++frame)
				world.Step(config.TimeStep, config.VelocityIterations, config.PositionIterations);
			const auto elapsed = std::chrono::steady_clock::now() - start;
			benchmark::DoNotOptimize(last->GetPosition());
			state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
			totalMilliseconds += Milliseconds(elapsed);
		}
		state.counters["ms_per_frame"] = totalMilliseconds / (FRAME_COUNT * static_cast<double>(state.iterations()));
	}
} // namespace

BENCHMARK(RawBox2D)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(EnginePhase)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
