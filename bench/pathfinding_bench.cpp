// The engine's path search against a plain A* (std::priority_queue, std::unordered_map) over the same grid graph and
// graph calls: 100 searches between far-apart cells of a 256x256 grid with 30% of its cells blocked. Each
// iteration runs both, in alternating order. Counters: engine_ms_per_search (the search alone),
// raw_ms_per_search, ratio, and what the pathfinding phase adds by straightening (straighten_ms_per_path).
#include "benchsupport.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/world.hpp"
#include "pathfinding/gridnavgraph.hpp"
#include "pathfinding/pathfindingcomponent.hpp"
#include "pathfinding/pathfindingsystem.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <queue>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr int GRID_SIZE = 256;
	constexpr int SEARCHES = 100;
	// Cells at least this far apart along both axes together.
	constexpr int MIN_DISTANCE = 200;

	// Forward A* from start to goal with the usual closed check; the cost of the path found.
	float PlainAStar(const GridNavGraph& grid, const NavNode* start, const NavNode* goal)
	{
		using Entry = std::pair<float, const NavNode*>;
		std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
		std::unordered_map<const NavNode*, float> best;
		std::unordered_map<const NavNode*, const NavNode*> parents;
		Dynarray<const NavNode*> connections;
		best[start] = 0.0f;
		open.push({grid.GetHeuristicCost(start, goal), start});
		while (!open.empty())
		{
			const NavNode* node = open.top().second;
			const float total = open.top().first;
			open.pop();
			const float cost = best[node];
			if (node == goal)
				return cost;
			if (total > cost + grid.GetHeuristicCost(node, goal))
				continue;
			connections.Clear();
			grid.GetConnections(node, connections);
			for (const NavNode* next : connections)
			{
				const float nextCost = cost + grid.GetTravelCost(node, next);
				const auto found = best.find(next);
				if (found != best.end() && !(nextCost < found->second))
					continue;
				best[next] = nextCost;
				parents[next] = node;
				open.push({nextCost + grid.GetHeuristicCost(next, goal), next});
			}
		}
		return -1.0f;
	}

	struct Scene
	{
		Scene() : Grid(GRID_SIZE, GRID_SIZE, 1.0f, Vector::ZERO)
		{
			std::mt19937 random(256);
			std::bernoulli_distribution blocked(0.3);
			for (int z = 0; z < GRID_SIZE; ++z)
				for (int x = 0; x < GRID_SIZE; ++x)
					Grid.SetWalkable(x, z, !blocked(random));
			std::uniform_int_distribution<int> cell(0, GRID_SIZE - 1);
			while (Pairs.size() < SEARCHES)
			{
				const int x0 = cell(random), z0 = cell(random), x1 = cell(random), z1 = cell(random);
				const NavNode* start = Grid.GetNode(x0, z0);
				const NavNode* goal = Grid.GetNode(x1, z1);
				if (!start || !goal || std::abs(x1 - x0) + std::abs(z1 - z0) < MIN_DISTANCE)
					continue;
				if (PlainAStar(Grid, start, goal) < 0.0f)
					continue;
				Pairs.push_back({start, goal});
			}
		}

		GridNavGraph Grid;
		std::vector<std::pair<const NavNode*, const NavNode*>> Pairs;
	};

	struct Timing
	{
		double Milliseconds = 0.0;
		double Straighten = 0.0;
	};

	void SearchesOnAGrid(benchmark::State& state)
	{
		const Scene scene;
		World world;
		world.AddWorldComponent<DeferredTaskWorldComponent>();
		Entity* agent = DeferredTaskSystem::SpawnEntityImmediate(&world);
		PathfindingComponent* pathfinding =
		    DeferredTaskSystem::AddComponentImmediate<PathfindingComponent>(&world, agent, &scene.Grid);
		double straightenTotal = 0.0;
		double engineTotal = 0.0;
		double rawTotal = 0.0;

		const auto runEngine = [&]
		{
			Timing timing;
			for (const auto& [start, goal] : scene.Pairs)
			{
				const Vector from = scene.Grid.GetNodeWorldPosition(start);
				const Vector to = scene.Grid.GetNodeWorldPosition(goal);
				Dynarray<Vector> path;
				const auto begin = std::chrono::steady_clock::now();
				Impl::FindPath(scene.Grid, from, to, PathfindingSystem::MAX_EXPANDED_RECORDS, path);
				const auto searched = std::chrono::steady_clock::now();
				Impl::StraightenPath(scene.Grid, path);
				const auto straightened = std::chrono::steady_clock::now();
				timing.Milliseconds += VornBench::Milliseconds(searched - begin);
				timing.Straighten += VornBench::Milliseconds(straightened - searched);
				benchmark::DoNotOptimize(path.GetData());

				// The phase itself, once per pair, so the component's path is the one measured above.
				agent->GetTransform().SetLocalTranslation(from);
				pathfinding->SetDestination(to);
				PathfindingSystem::UpdatePhase(&world);
			}
			return timing;
		};
		const auto runRaw = [&]
		{
			const auto begin = std::chrono::steady_clock::now();
			for (const auto& [start, goal] : scene.Pairs)
				benchmark::DoNotOptimize(PlainAStar(scene.Grid, start, goal));
			return VornBench::Milliseconds(std::chrono::steady_clock::now() - begin);
		};
		VornBench::RunPaired(
		    state, runEngine, runRaw, [](const Timing& engine) { return engine.Milliseconds / 1000.0; },
		    [&](const Timing& engine, double raw)
		    {
			    engineTotal += engine.Milliseconds;
			    straightenTotal += engine.Straighten;
			    rawTotal += raw;
		    });
		const double searches = static_cast<double>(state.iterations()) * SEARCHES;
		state.counters["engine_ms_per_search"] = engineTotal / searches;
		state.counters["raw_ms_per_search"] = rawTotal / searches;
		state.counters["ratio"] = engineTotal / rawTotal;
		state.counters["straighten_ms_per_path"] = straightenTotal / searches;
		state.counters["path_points"] = static_cast<double>(pathfinding->GetPath().GetSize());
	}
} // namespace

BENCHMARK(SearchesOnAGrid)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
