// The 3D physics phase against raw Bullet on the same scene: 1,000 dynamic boxes falling onto a static plane, 600
// frames of 1/60 s (one step each); then 10,000 closest-hit ray casts into the engine's settled scene, through the
// engine and through Bullet's rayTest on the same world. Each iteration builds both scenes anew and runs both sides,
// in alternating order, so a slow spell of this shared machine hits both alike; the counters give both sides and
// their ratios.
#include "benchsupport.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testrenderingdevice.hpp"
#include "physics3d/collider3dcomponent.hpp"
#include "physics3d/physics3dimpl.hpp"
#include "physics3d/physics3dsystem.hpp"
#include "physics3d/physics3dworldcomponent.hpp"
#include "physics3d/rigidbody3dcomponent.hpp"
#include "time/timesystem.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace Vorn;
using VornBench::IdleGame;
using VornBench::Milliseconds;

namespace
{
	constexpr int FRAME_COUNT = 600;
	constexpr int BOX_COUNT = 1000;
	constexpr int BOXES_PER_ROW = 10;
	constexpr int RAY_COUNT = 10000;
	constexpr float MASS = 1.0f;
	constexpr u64 SIXTIETH_OF_A_SECOND = 16'666'667;
	const btVector3 HALF_EXTENTS(0.5f, 0.5f, 0.5f);

	// Ten by ten columns, ten boxes high, a little apart.
	btVector3 BoxPosition(int index)
	{
		const int layer = index / (BOXES_PER_ROW * BOXES_PER_ROW);
		const int row = (index / BOXES_PER_ROW) % BOXES_PER_ROW;
		const int column = index % BOXES_PER_ROW;
		return btVector3(-7.0f + 1.5f * static_cast<float>(column), 2.0f + 1.5f * static_cast<float>(layer),
		                 -7.0f + 1.5f * static_cast<float>(row));
	}

	// Rays straight down over the scene, on a grid.
	void RayAt(int index, btVector3& from, btVector3& to)
	{
		const float x = -8.0f + 16.0f * static_cast<float>(index % 100) / 100.0f;
		const float z = -8.0f + 16.0f * static_cast<float>(index / 100) / 100.0f;
		from = btVector3(x, 30.0f, z);
		to = btVector3(x, -1.0f, z);
	}

	struct RunResult
	{
		std::chrono::steady_clock::duration Frames{};
		std::chrono::steady_clock::duration Rays{};
		std::chrono::steady_clock::duration RawRays{};
		int Hits = 0;
		int RawHits = 0;
	};

	RunResult RunEngine(VornTests::ManualClock& clock)
	{
		VornTests::TestRenderingDeviceLog deviceLog;
		auto engine = std::make_unique<Engine>();
		engine->Init(std::make_unique<IdleGame>(), std::make_unique<VornTests::TestRenderingDevice>(&deviceLog));
		World* world = engine->GetWorld();
		{
			Entity* ground = DeferredTaskSystem::SpawnEntityImmediate(world);
			Collider3DComponentTemplate collider;
			collider.Shape = std::make_unique<Physics3DPlaneShape>(Vector(0.0f, 1.0f, 0.0f), 0.0f);
			world->AddComponent<Collider3DComponent>(ground, world, std::move(collider));
			Rigidbody3DComponentTemplate body;
			body.BodyType = eRigidBody3DType::STATIC;
			world->AddComponent<Rigidbody3DComponent>(ground, world, body);
		}
		Rigidbody3DComponentTemplate boxBody;
		boxBody.Mass = MASS;
		// Bullet's own defaults, so both sides simulate the same bodies.
		boxBody.Restitution = 0.0f;
		boxBody.RollingFriction = 0.0f;
		boxBody.LinearDamping = 0.0f;
		boxBody.AngularDamping = 0.0f;
		boxBody.AllowDeactivation = true;
		for (int index = 0; index < BOX_COUNT; ++index)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			const btVector3 position = BoxPosition(index);
			entity->GetTransform().SetGlobalTranslation(FromBullet(position));
			Collider3DComponentTemplate collider;
			collider.Shape = std::make_unique<Physics3DBoxShape>(FromBullet(HALF_EXTENTS));
			world->AddComponent<Collider3DComponent>(entity, world, std::move(collider));
			world->AddComponent<Rigidbody3DComponent>(entity, world, boxBody);
		}

		RunResult result;
		for (int frame = 0; frame < FRAME_COUNT; ++frame)
		{
			clock.AdvanceNanoseconds(SIXTIETH_OF_A_SECOND);
			TimeSystem::TimeUpdatePhase(world);
			const auto start = std::chrono::steady_clock::now();
			Physics3DSystem::Physics3DUpdatePhase(world);
			result.Frames += std::chrono::steady_clock::now() - start;
		}
		// The rays go into this very scene both ways: through the engine and through Bullet's rayTest on the engine's
		// own dynamics world.
		const EnumFlags<eCollisionGroup> all = EnumFlags<eCollisionGroup>::FromMask(0xFFFFFFFF);
		auto start = std::chrono::steady_clock::now();
		for (int index = 0; index < RAY_COUNT; ++index)
		{
			btVector3 from;
			btVector3 to;
			RayAt(index, from, to);
			result.Hits += static_cast<int>(
			    Physics3DSystem::ClosestHitRaycast(world, FromBullet(from), FromBullet(to), all, all).Hits.GetSize());
		}
		result.Rays = std::chrono::steady_clock::now() - start;
		btDiscreteDynamicsWorld& dynamicsWorld =
		    *world->GetWorldComponent<Physics3DWorldComponent>()->GetImplData().DynamicsWorld;
		start = std::chrono::steady_clock::now();
		for (int index = 0; index < RAY_COUNT; ++index)
		{
			btVector3 from;
			btVector3 to;
			RayAt(index, from, to);
			btCollisionWorld::ClosestRayResultCallback callback(from, to);
			dynamicsWorld.rayTest(from, to, callback);
			result.RawHits += callback.hasHit() ? 1 : 0;
		}
		result.RawRays = std::chrono::steady_clock::now() - start;
		return result;
	}

	RunResult RunRawBullet()
	{
		btDefaultCollisionConfiguration configuration;
		btCollisionDispatcher dispatcher(&configuration);
		btDbvtBroadphase broadphase;
		btSequentialImpulseConstraintSolver solver;
		btDiscreteDynamicsWorld world(&dispatcher, &broadphase, &solver, &configuration);
		world.setGravity(btVector3(0.0f, -9.81f, 0.0f));

		btStaticPlaneShape planeShape(btVector3(0.0f, 1.0f, 0.0f), 0.0f);
		btDefaultMotionState planeMotion;
		btRigidBody plane(btRigidBody::btRigidBodyConstructionInfo(0.0f, &planeMotion, &planeShape));
		world.addRigidBody(&plane, 1, 1);

		std::vector<std::unique_ptr<btBoxShape>> shapes;
		std::vector<std::unique_ptr<btDefaultMotionState>> motions;
		std::vector<std::unique_ptr<btRigidBody>> bodies;
		for (int index = 0; index < BOX_COUNT; ++index)
		{
			shapes.push_back(std::make_unique<btBoxShape>(HALF_EXTENTS));
			btVector3 inertia(0.0f, 0.0f, 0.0f);
			shapes.back()->calculateLocalInertia(MASS, inertia);
			btTransform transform;
			transform.setIdentity();
			transform.setOrigin(BoxPosition(index));
			motions.push_back(std::make_unique<btDefaultMotionState>(transform));
			bodies.push_back(std::make_unique<btRigidBody>(
			    btRigidBody::btRigidBodyConstructionInfo(MASS, motions.back().get(), shapes.back().get(), inertia)));
			world.addRigidBody(bodies.back().get(), 1, 1);
		}

		RunResult result;
		const auto start = std::chrono::steady_clock::now();
		for (int frame = 0; frame < FRAME_COUNT; ++frame)
			world.stepSimulation(1.0f / 60.0f, 0, 1.0f / 60.0f);
		result.Frames = std::chrono::steady_clock::now() - start;
		for (const std::unique_ptr<btRigidBody>& body : bodies)
			world.removeRigidBody(body.get());
		world.removeRigidBody(&plane);
		return result;
	}

	void EnginePhaseAgainstRawBullet(benchmark::State& state)
	{
		VornTests::TempWorkingDirectory workingDirectory;
		VornTests::ManualClock clock;
		double engineFrames = 0.0;
		double rawFrames = 0.0;
		double engineRays = 0.0;
		double rawRays = 0.0;
		int engineHits = 0;
		int rawHits = 0;
		VornBench::RunPaired(
		    state, [&] { return RunEngine(clock); }, [] { return RunRawBullet(); },
		    [](const RunResult& engine) { return engine.Frames; },
		    [&](const RunResult& engine, const RunResult& raw)
		    {
			    engineFrames += Milliseconds(engine.Frames);
			    rawFrames += Milliseconds(raw.Frames);
			    engineRays += Milliseconds(engine.Rays);
			    rawRays += Milliseconds(engine.RawRays);
			    engineHits = engine.Hits;
			    rawHits = engine.RawHits;
		    });
		const double iterations = static_cast<double>(state.iterations());
		state.counters["engine_ms_per_frame"] = engineFrames / (FRAME_COUNT * iterations);
		state.counters["raw_ms_per_frame"] = rawFrames / (FRAME_COUNT * iterations);
		state.counters["frame_ratio"] = engineFrames / rawFrames;
		state.counters["engine_us_per_ray"] = 1000.0 * engineRays / (RAY_COUNT * iterations);
		state.counters["raw_us_per_ray"] = 1000.0 * rawRays / (RAY_COUNT * iterations);
		state.counters["ray_ratio"] = engineRays / rawRays;
		state.counters["engine_hits"] = engineHits;
		state.counters["raw_hits"] = rawHits;
	}
} // namespace

BENCHMARK(EnginePhaseAgainstRawBullet)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);
