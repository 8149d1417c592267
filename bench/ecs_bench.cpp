#include "ecs/deferredtasksystem.hpp"
#include "ecs/entity.hpp"
#include "ecs/world.hpp"

#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

using namespace Vorn;

namespace
{
	// The root takes one of the 65,536 entity blocks.
	constexpr i64 FullWorld = 65535;
	constexpr i64 HalfWorld = 32768;

	class PositionComponent : public ComponentBase
	{
	public:
		float X = 0.0f, Y = 0.0f, Z = 0.0f;
	};

	class VelocityComponent : public ComponentBase
	{
	public:
		float X = 1.0f, Y = 2.0f, Z = 3.0f;
	};

	std::vector<Entity*> SpawnMoving(World* world, i64 count)
	{
		std::vector<Entity*> entities;
		entities.reserve(static_cast<size_t>(count));
		for (i64 i = 0; i < count; ++i)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			world->AddComponent<PositionComponent>(entity);
			world->AddComponent<VelocityComponent>(entity);
			entities.push_back(entity);
		}
		return entities;
	}

	// Newest first, the usual order in which a burst of entities goes away.
	void DestroyNewestFirst(World* world, const std::vector<Entity*>& entities)
	{
		for (auto it = entities.rbegin(); it != entities.rend(); ++it)
			DeferredTaskSystem::DestroyEntityImmediate(world, *it);
	}

	void DestroyOldestFirst(World* world, const std::vector<Entity*>& entities)
	{
		for (Entity* entity : entities)
			DeferredTaskSystem::DestroyEntityImmediate(world, entity);
	}

	void SetPerEntity(benchmark::State& state, i64 entitiesPerIteration)
	{
		state.counters["per_entity"] =
		    benchmark::Counter(static_cast<double>(state.iterations() * entitiesPerIteration),
		                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	}

	// Pools exist before timing starts, as they do after a type's first use in a game.
	World* MakeWarmWorld()
	{
		World* world = new World();
		world->GetComponentAllocator<PositionComponent>();
		world->GetComponentAllocator<VelocityComponent>();
		return world;
	}

	void BM_Spawn(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		for (auto _ : state)
		{
			const std::vector<Entity*> entities = SpawnMoving(world, state.range(0));
			state.PauseTiming();
			DestroyNewestFirst(world, entities);
			state.ResumeTiming();
		}
		SetPerEntity(state, state.range(0));
		delete world;
	}
	BENCHMARK(BM_Spawn)->Arg(HalfWorld)->Arg(FullWorld)->Unit(benchmark::kMillisecond);

	void BM_DestroyNewestFirst(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		for (auto _ : state)
		{
			state.PauseTiming();
			const std::vector<Entity*> entities = SpawnMoving(world, state.range(0));
			state.ResumeTiming();
			DestroyNewestFirst(world, entities);
		}
		SetPerEntity(state, state.range(0));
		delete world;
	}
	BENCHMARK(BM_DestroyNewestFirst)->Arg(HalfWorld)->Arg(FullWorld)->Unit(benchmark::kMillisecond);

	// Each destruction shifts the rest of the root's ordered child list, so this grows with the square
	// of the count; kept to show the cost of that order for very wide parents.
	void BM_DestroyOldestFirst(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		for (auto _ : state)
		{
			state.PauseTiming();
			const std::vector<Entity*> entities = SpawnMoving(world, state.range(0));
			state.ResumeTiming();
			DestroyOldestFirst(world, entities);
		}
		SetPerEntity(state, state.range(0));
		delete world;
	}
	BENCHMARK(BM_DestroyOldestFirst)->Arg(4096)->Arg(HalfWorld)->Arg(FullWorld)->Unit(benchmark::kMillisecond);

	// The whole tree at once, as when a world is torn down.
	void BM_DestroySubtree(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		for (auto _ : state)
		{
			state.PauseTiming();
			Entity* group = DeferredTaskSystem::SpawnEntityImmediate(world);
			const std::vector<Entity*> entities = SpawnMoving(world, state.range(0) - 1);
			for (Entity* entity : entities)
				entity->SetParent(group);
			state.ResumeTiming();
			DeferredTaskSystem::DestroyEntityImmediate(world, group);
		}
		SetPerEntity(state, state.range(0));
		delete world;
	}
	BENCHMARK(BM_DestroySubtree)->Arg(HalfWorld)->Arg(FullWorld)->Unit(benchmark::kMillisecond);

	void BM_SpawnAndDestroy(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		for (auto _ : state)
			DestroyNewestFirst(world, SpawnMoving(world, state.range(0)));
		SetPerEntity(state, state.range(0));
		delete world;
	}
	BENCHMARK(BM_SpawnAndDestroy)->Arg(8192)->Arg(16384)->Arg(HalfWorld)->Arg(FullWorld)->Unit(benchmark::kMillisecond);

	void BM_IterateOneType(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		SpawnMoving(world, FullWorld);
		for (auto _ : state)
		{
			for (auto [position] : world->IterateComponents<PositionComponent>())
				position->X += 1.0f;
			benchmark::ClobberMemory();
		}
		SetPerEntity(state, FullWorld);
		delete world;
	}
	BENCHMARK(BM_IterateOneType)->Unit(benchmark::kMicrosecond);

	void BM_IterateTwoTypes(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		SpawnMoving(world, FullWorld);
		for (auto _ : state)
		{
			for (auto [position, velocity] : world->IterateComponents<PositionComponent, VelocityComponent>())
			{
				position->X += velocity->X;
				position->Y += velocity->Y;
				position->Z += velocity->Z;
			}
			benchmark::ClobberMemory();
		}
		SetPerEntity(state, FullWorld);
		delete world;
	}
	BENCHMARK(BM_IterateTwoTypes)->Unit(benchmark::kMicrosecond);

	template <int N>
	class FillerComponent : public ComponentBase
	{
	};

	template <int... N>
	void TouchFillerTypes(std::integer_sequence<int, N...>)
	{
		(GetComponentTypeID<FillerComponent<N>>(), ...);
	}

	// The same walk with a second type numbered past the first cache line of the entity's slots, as
	// most types are in a game with a few dozen of them.
	void BM_IterateTwoTypesHighID(benchmark::State& state)
	{
		class LateVelocityComponent : public VelocityComponent
		{
		};
		TouchFillerTypes(std::make_integer_sequence<int, 8>());
		World* world = MakeWarmWorld();
		for (i64 i = 0; i < FullWorld; ++i)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			world->AddComponent<PositionComponent>(entity);
			world->AddComponent<LateVelocityComponent>(entity);
		}
		state.counters["second_type_id"] = static_cast<double>(GetComponentTypeID<LateVelocityComponent>());
		for (auto _ : state)
		{
			for (auto [position, velocity] : world->IterateComponents<PositionComponent, LateVelocityComponent>())
			{
				position->X += velocity->X;
				position->Y += velocity->Y;
				position->Z += velocity->Z;
			}
			benchmark::ClobberMemory();
		}
		SetPerEntity(state, FullWorld);
		delete world;
	}
	BENCHMARK(BM_IterateTwoTypesHighID)->Unit(benchmark::kMicrosecond);

	// Every second entity lacks the second type and is skipped.
	void BM_IterateTwoTypesHalfMatching(benchmark::State& state)
	{
		World* world = MakeWarmWorld();
		const std::vector<Entity*> entities = SpawnMoving(world, FullWorld);
		for (size_t i = 0; i < entities.size(); i += 2)
			world->RemoveComponent<VelocityComponent>(entities[i]);
		for (auto _ : state)
		{
			for (auto [position, velocity] : world->IterateComponents<PositionComponent, VelocityComponent>())
				position->X += velocity->X;
			benchmark::ClobberMemory();
		}
		SetPerEntity(state, FullWorld);
		delete world;
	}
	BENCHMARK(BM_IterateTwoTypesHalfMatching)->Unit(benchmark::kMicrosecond);

	// 1 + 16 + 256 + 4096 entities in four levels; moving the top one dirties all the others.
	void BM_TransformRefreshAfterMovingRoot(benchmark::State& state)
	{
		constexpr int Fanout = 16;
		World* world = new World();
		Entity* top = DeferredTaskSystem::SpawnEntityImmediate(world);
		std::vector<Entity*> all{top};
		std::vector<Entity*> level{top};
		for (int depth = 1; depth < 4; ++depth)
		{
			std::vector<Entity*> next;
			for (Entity* parent : level)
			{
				for (int i = 0; i < Fanout; ++i)
				{
					Entity* child = DeferredTaskSystem::SpawnEntityImmediate(world);
					child->SetParent(parent);
					child->GetTransform().SetLocalTranslation(Vector(1.0f, 0.0f, 0.0f));
					child->GetTransform().SetLocalRotation(Quaternion(Vector::UNIT_Z, Angle::FromDegrees(10.0f)));
					next.push_back(child);
					all.push_back(child);
				}
			}
			level = next;
		}

		float offset = 0.0f;
		for (auto _ : state)
		{
			offset += 1.0f;
			top->GetTransform().SetLocalTranslation(Vector(offset, 0.0f, 0.0f));
			for (const Entity* entity : all)
				benchmark::DoNotOptimize(entity->GetTransform().GetWorldFromModel());
		}
		SetPerEntity(state, static_cast<i64>(all.size()));
		delete world;
	}
	BENCHMARK(BM_TransformRefreshAfterMovingRoot)->Unit(benchmark::kMicrosecond);
} // namespace
