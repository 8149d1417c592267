#include "memory/iterablepoolallocator.hpp"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr u64 PoolCells = 65536;

	// Roughly the size of a small component: a vtable pointer, an owner and a few fields.
	struct ComponentLike
	{
		void* VTable = nullptr;
		void* Owner = nullptr;
		float Values[10] = {};
	};

	std::vector<ComponentLike*> FillPool(IterablePoolAllocator<ComponentLike>& pool, u64 count)
	{
		std::vector<ComponentLike*> objects;
		objects.reserve(count);
		for (u64 i = 0; i < count; ++i)
			objects.push_back(pool.New());
		return objects;
	}

	// Fills a new pool, as the world does on a component type's first use.
	void BM_Fill(benchmark::State& state)
	{
		const u64 count = static_cast<u64>(state.range(0));
		for (auto _ : state)
		{
			state.PauseTiming();
			auto pool = std::make_unique<IterablePoolAllocator<ComponentLike>>(PoolCells);
			state.ResumeTiming();
			for (u64 i = 0; i < count; ++i)
				benchmark::DoNotOptimize(pool->New());
			state.PauseTiming();
			pool.reset();
			state.ResumeTiming();
		}
		state.SetItemsProcessed(static_cast<i64>(state.iterations() * count));
	}
	BENCHMARK(BM_Fill)->Arg(32768)->Arg(65536)->Unit(benchmark::kMicrosecond);

	void BM_Iterate(benchmark::State& state)
	{
		IterablePoolAllocator<ComponentLike> pool(PoolCells);
		FillPool(pool, PoolCells);
		for (auto _ : state)
		{
			float sum = 0.0f;
			for (ComponentLike& object : pool)
				sum += object.Values[0];
			benchmark::DoNotOptimize(sum);
		}
		state.SetItemsProcessed(static_cast<i64>(state.iterations() * PoolCells));
	}
	BENCHMARK(BM_Iterate)->Unit(benchmark::kMicrosecond);

	// Frees every other cell of a full pool and fills the holes again (they come back in reverse).
	void BM_FreeEveryOtherAndRefill(benchmark::State& state)
	{
		IterablePoolAllocator<ComponentLike> pool(PoolCells);
		std::vector<ComponentLike*> objects = FillPool(pool, PoolCells);
		for (auto _ : state)
		{
			for (u64 i = 0; i < PoolCells; i += 2)
				pool.Delete(objects[i]);
			for (u64 i = 0; i < PoolCells; i += 2)
				objects[i] = pool.New();
		}
		state.SetItemsProcessed(static_cast<i64>(state.iterations() * PoolCells));
	}
	BENCHMARK(BM_FreeEveryOtherAndRefill)->Unit(benchmark::kMicrosecond);
} // namespace
