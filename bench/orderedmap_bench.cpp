#include "collections/orderedmap.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <unordered_map>
#include <vector>

using namespace Vorn;

// Pathfinding keys its maps by node address, so the keys here are addresses of elements of one
// big array, visited in shuffled order like nodes discovered during a search.
namespace
{
	struct FakeNode
	{
		float Position[3];
		u32 Flags;
	};

	struct Keys
	{
		std::vector<FakeNode> Nodes;
		std::vector<const void*> InsertOrder;
		std::vector<const void*> LookupOrder;
		// Many different shuffles of all keys back to back, at least 100,000 lookups in all.
		std::vector<const void*> VaryingLookupOrder;

		explicit Keys(u64 count) : Nodes(count)
		{
			for (const FakeNode& node : Nodes)
				InsertOrder.push_back(&node);
			LookupOrder = InsertOrder;
			std::mt19937 random(static_cast<u32>(count));
			std::shuffle(InsertOrder.begin(), InsertOrder.end(), random);
			std::shuffle(LookupOrder.begin(), LookupOrder.end(), random);

			std::vector<const void*> pass = LookupOrder;
			while (VaryingLookupOrder.size() < 100000)
			{
				std::shuffle(pass.begin(), pass.end(), random);
				VaryingLookupOrder.insert(VaryingLookupOrder.end(), pass.begin(), pass.end());
			}
		}
	};

	const Keys& GetKeys(u64 count)
	{
		static std::map<u64, Keys> cache;
		auto found = cache.find(count);
		if (found == cache.end())
			found = cache.emplace(count, Keys(count)).first;
		return found->second;
	}

	using VornMap = OrderedMap<const void*, float>;
	using StdMap = std::map<const void*, float>;
	using StdHashMap = std::unordered_map<const void*, float>;

	void Put(VornMap& map, const void* key, float value) { map.Insert(key, value); }
	template <typename Std>
	void Put(Std& map, const void* key, float value)
	{
		map.insert_or_assign(key, value);
	}

	const float* Find(const VornMap& map, const void* key) { return map.Get(key); }
	template <typename Std>
	const float* Find(const Std& map, const void* key)
	{
		const auto found = map.find(key);
		return found == map.end() ? nullptr : &found->second;
	}

	// Builds a whole map per iteration; its destruction is timed too.
	template <typename Map>
	void BM_Insert(benchmark::State& state)
	{
		const Keys& keys = GetKeys(static_cast<u64>(state.range(0)));
		for (auto _ : state)
		{
			Map map;
			float value = 0.0f;
			for (const void* key : keys.InsertOrder)
				Put(map, key, value += 1.0f);
			benchmark::DoNotOptimize(Find(map, keys.InsertOrder.front()));
		}
		state.SetItemsProcessed(state.iterations() * state.range(0));
	}

	template <typename Map>
	void LookUp(benchmark::State& state, std::vector<const void*> Keys::*order)
	{
		const Keys& keys = GetKeys(static_cast<u64>(state.range(0)));
		Map map;
		for (const void* key : keys.InsertOrder)
			Put(map, key, 1.0f);
		const std::vector<const void*>& lookups = keys.*order;
		for (auto _ : state)
		{
			float sum = 0.0f;
			for (const void* key : lookups)
				sum += *Find(map, key);
			benchmark::DoNotOptimize(sum);
		}
		state.SetItemsProcessed(state.iterations() * static_cast<i64>(lookups.size()));
	}

	// The same shuffled order on every pass.
	template <typename Map>
	void BM_Lookup(benchmark::State& state)
	{
		LookUp<Map>(state, &Keys::LookupOrder);
	}

	// With few keys, replaying one order lets the branch predictor learn it, which flatters
	// every container; a new order on each pass is closer to how a search visits nodes.
	template <typename Map>
	void BM_LookupVaryingOrder(benchmark::State& state)
	{
		LookUp<Map>(state, &Keys::VaryingLookupOrder);
	}
} // namespace

BENCHMARK_TEMPLATE(BM_Insert, VornMap)->Arg(1000)->Arg(100000);
BENCHMARK_TEMPLATE(BM_Insert, StdMap)->Arg(1000)->Arg(100000);
BENCHMARK_TEMPLATE(BM_Insert, StdHashMap)->Arg(1000)->Arg(100000);
BENCHMARK_TEMPLATE(BM_Lookup, VornMap)->Arg(1000)->Arg(100000);
BENCHMARK_TEMPLATE(BM_Lookup, StdMap)->Arg(1000)->Arg(100000);
BENCHMARK_TEMPLATE(BM_Lookup, StdHashMap)->Arg(1000)->Arg(100000);
BENCHMARK_TEMPLATE(BM_LookupVaryingOrder, VornMap)->Arg(1000);
BENCHMARK_TEMPLATE(BM_LookupVaryingOrder, StdMap)->Arg(1000);
BENCHMARK_TEMPLATE(BM_LookupVaryingOrder, StdHashMap)->Arg(1000);
