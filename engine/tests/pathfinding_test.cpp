#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "pathfinding/gridnavgraph.hpp"
#include "pathfinding/navgraph.hpp"
#include "pathfinding/pathfindingcomponent.hpp"
#include "pathfinding/pathfindingsystem.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <queue>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	// Nodes on the X axis, node i at x = 10 i and covering -5 to +5 around it; connections, costs, heuristics and
	// direct connections as a test sets them. Counts how often each node's connections are asked for.
	class TestGraph : public NavGraph
	{
	public:
		explicit TestGraph(int nodeCount)
		{
			for (int i = 0; i < nodeCount; ++i)
				Nodes.push_back(std::make_unique<NavNode>());
			Adjacency.resize(static_cast<std::size_t>(nodeCount));
		}

		// Both ways, at the same cost; connections are listed in the order they were added.
		void Connect(int a, int b, float cost)
		{
			Adjacency[static_cast<std::size_t>(a)].push_back(b);
			Adjacency[static_cast<std::size_t>(b)].push_back(a);
			Costs[{a, b}] = cost;
			Costs[{b, a}] = cost;
		}
		void SetDirect(int a, int b) { Direct.insert({a, b}); }
		void SetHeuristic(int node, float toStart) { Heuristics[node] = toStart; }
		static Vector PositionOf(int node) { return Vector(10.0f * static_cast<float>(node), 0.0f, 0.0f); }
		int ExpansionsOf(int node) const
		{
			const auto found = Expansions.find(node);
			return found == Expansions.end() ? 0 : found->second;
		}
		int TotalExpansions() const
		{
			int total = 0;
			for (const auto& [node, count] : Expansions)
				total += count;
			return total;
		}

		float GetTravelCost(const NavNode* from, const NavNode* to) const override
		{
			return Costs.at({IndexOf(from), IndexOf(to)});
		}
		float GetHeuristicCost(const NavNode* from, const NavNode*) const override
		{
			const auto found = Heuristics.find(IndexOf(from));
			return found == Heuristics.end() ? 0.0f : found->second;
		}
		Vector GetNodeWorldPosition(const NavNode* node) const override { return PositionOf(IndexOf(node)); }
		const NavNode* GetNodeFromWorldPosition(const Vector& position) const override
		{
			const int index = static_cast<int>(std::floor((position.x + 5.0f) / 10.0f));
			if (index < 0 || index >= static_cast<int>(Nodes.size()))
				return nullptr;
			return Nodes[static_cast<std::size_t>(index)].get();
		}
		void GetConnections(const NavNode* node, Dynarray<const NavNode*>& out) const override
		{
			++Expansions[IndexOf(node)];
			for (int next : Adjacency[static_cast<std::size_t>(IndexOf(node))])
				out.PushBack(Nodes[static_cast<std::size_t>(next)].get());
		}
		bool IsDirectConnection(const NavNode* from, const NavNode* to) const override
		{
			return Direct.count({IndexOf(from), IndexOf(to)}) > 0;
		}

	private:
		int IndexOf(const NavNode* node) const
		{
			for (std::size_t i = 0; i < Nodes.size(); ++i)
				if (Nodes[i].get() == node)
					return static_cast<int>(i);
			ADD_FAILURE() << "a node of another graph";
			return 0;
		}

		std::vector<std::unique_ptr<NavNode>> Nodes;
		std::vector<std::vector<int>> Adjacency;
		std::map<std::pair<int, int>, float> Costs;
		std::map<int, float> Heuristics;
		std::set<std::pair<int, int>> Direct;
		mutable std::map<int, int> Expansions;
	};

	std::vector<Vector> ToVector(const Dynarray<Vector>& path)
	{
		return std::vector<Vector>(path.GetData(), path.GetData() + path.GetSize());
	}

	// An engine with one agent; the pathfinding phase runs as part of every frame.
	class PathfindingTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Engine.Init(); }

		PathfindingComponent* SpawnAgent(const NavGraph* graph, const Vector& position)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(Engine.GetWorld());
			entity->GetTransform().SetLocalTranslation(position);
			return DeferredTaskSystem::AddComponentImmediate<PathfindingComponent>(Engine.GetWorld(), entity, graph);
		}

		TestEngine Engine;
	};
} // namespace

TEST_F(PathfindingTest, PathsRunFromTheAgentToTheDestinationAndAreStraightenedWhereTheGraphAllows)
{
	const Vector start(1.0f, 0.0f, 0.0f);
	struct Case
	{
		const char* Name;
		Vector Destination;
		bool IsDirect; // from node 0 to node 1
		std::vector<Vector> Path;
	};
	const Case cases[] = {
	    {"neighbouring nodes", Vector(11.0f, 0.0f, 0.0f), false, {start, TestGraph::PositionOf(1), Vector(11, 0, 0)}},
	    {"neighbouring nodes with a direct connection", Vector(11.0f, 0.0f, 0.0f), true, {start, Vector(11, 0, 0)}},
	    {"two nodes away",
	     Vector(21.0f, 0.0f, 0.0f),
	     false,
	     {start, TestGraph::PositionOf(1), TestGraph::PositionOf(2), Vector(21, 0, 0)}},
	    {"inside the agent's own node", Vector(-2.0f, 0.0f, 0.0f), false, {start, Vector(-2, 0, 0)}},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		TestGraph graph(4);
		graph.Connect(0, 1, 1.0f);
		graph.Connect(1, 2, 1.0f);
		if (testCase.IsDirect)
			graph.SetDirect(0, 1);
		PathfindingComponent* agent = SpawnAgent(&graph, start);
		agent->SetDestination(testCase.Destination);
		EXPECT_TRUE(agent->GetPath().IsEmpty()) << "the search runs in the next frame";
		Engine.RunFrame();
		EXPECT_EQ(ToVector(agent->GetPath()), testCase.Path);
		DeferredTaskSystem::DestroyEntity(Engine.GetWorld(), agent->GetOwner());
		Engine.RunFrame();
	}
}

TEST_F(PathfindingTest, NoPathKeepsThePreviousOne)
{
	TestGraph graph(4);
	graph.Connect(0, 1, 1.0f);
	PathfindingComponent* agent = SpawnAgent(&graph, Vector(0.0f, 0.0f, 0.0f));
	agent->SetDestination(Vector(10.0f, 0.0f, 0.0f));
	Engine.RunFrame();
	const std::vector<Vector> found = ToVector(agent->GetPath());
	ASSERT_EQ(found.size(), 3u);

	for (const Vector& unreachable : {Vector(500.0f, 0.0f, 0.0f), Vector(-100.0f, 0.0f, 0.0f), Vector(30.0f, 0, 0)})
	{
		SCOPED_TRACE(unreachable.x);
		agent->SetDestination(unreachable);
		Engine.RunFrame();
		EXPECT_EQ(ToVector(agent->GetPath()), found);
	}
}

TEST_F(PathfindingTest, OnlyANewDestinationStartsASearch)
{
	TestGraph graph(3);
	graph.Connect(0, 1, 1.0f);
	graph.Connect(1, 2, 1.0f);
	PathfindingComponent* agent = SpawnAgent(&graph, Vector(0.0f, 0.0f, 0.0f));
	const Vector destination(20.0f, 0.0f, 0.0f);

	agent->SetDestination(destination);
	Engine.RunFrame();
	const int oneSearch = graph.TotalExpansions();
	ASSERT_GT(oneSearch, 0);
	agent->SetDestination(destination);
	Engine.RunFrame();
	EXPECT_EQ(graph.TotalExpansions(), oneSearch) << "the same destination again";

	agent->ResetDestination();
	EXPECT_TRUE(agent->GetPath().IsEmpty());
	Engine.RunFrame();
	EXPECT_EQ(graph.TotalExpansions(), oneSearch) << "a reset alone searches nothing";
	agent->SetDestination(destination);
	Engine.RunFrame();
	EXPECT_EQ(graph.TotalExpansions(), 2 * oneSearch) << "the old destination after a reset";
	EXPECT_EQ(agent->GetPath().GetSize(), 4u);
}

TEST(PathSearchTest, ANodeReachedAgainAtALowerCostGetsAFurtherRecord)
{
	// Search backwards from R (node 0, the destination) to S (node 4): R-X costs 10, a detour over A reaches X
	// for less, the same or more, and X leads to S only through a costly Z. Every record of X popped before Z
	// is expanded, the older one too.
	enum
	{
		R,
		X,
		A,
		Z,
		S
	};
	struct Case
	{
		const char* Name;
		float DetourCost;
		int ExpansionsOfX;
		std::vector<int> PathNodes;
	};
	const Case cases[] = {
	    {"lower", 1.0f, 2, {Z, X, A, R}},
	    {"equal", 9.0f, 1, {Z, X, R}},
	    {"higher", 12.0f, 1, {Z, X, R}},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		TestGraph graph(5);
		graph.Connect(R, X, 10.0f);
		graph.Connect(R, A, 1.0f);
		graph.Connect(A, X, testCase.DetourCost);
		graph.Connect(X, Z, 20.0f);
		graph.Connect(Z, S, 1.0f);
		Dynarray<Vector> path;
		ASSERT_EQ(Impl::FindPath(graph, TestGraph::PositionOf(S), TestGraph::PositionOf(R), 1000, path),
		          Impl::ePathSearchResult::FOUND);
		EXPECT_EQ(graph.ExpansionsOf(X), testCase.ExpansionsOfX);
		std::vector<Vector> expected = {TestGraph::PositionOf(S)};
		for (int node : testCase.PathNodes)
			expected.push_back(TestGraph::PositionOf(node));
		expected.push_back(TestGraph::PositionOf(R));
		EXPECT_EQ(ToVector(path), expected);
	}
}

TEST(PathSearchTest, HeuristicsSteerWhichWayIsExpandedFirst)
{
	// Two ways of equal cost from R (0) to S (3): over node 1 or over node 2. The heuristic makes node 2 look
	// closer, so the search reaches S from node 2 and never expands node 1.
	TestGraph graph(4);
	graph.Connect(0, 1, 1.0f);
	graph.Connect(0, 2, 1.0f);
	graph.Connect(1, 3, 1.0f);
	graph.Connect(2, 3, 1.0f);
	graph.SetHeuristic(1, 1.0f);
	graph.SetHeuristic(2, 0.5f);
	Dynarray<Vector> path;
	ASSERT_EQ(Impl::FindPath(graph, TestGraph::PositionOf(3), TestGraph::PositionOf(0), 1000, path),
	          Impl::ePathSearchResult::FOUND);
	EXPECT_EQ(ToVector(path), (std::vector<Vector>{TestGraph::PositionOf(3), TestGraph::PositionOf(2),
	                                               TestGraph::PositionOf(0), TestGraph::PositionOf(0)}));
	EXPECT_EQ(graph.ExpansionsOf(1), 0);
}

TEST(PathSearchTest, OpenQueuePopsTheSmallestTotalWithItsTieRules)
{
	struct Case
	{
		const char* Name;
		std::vector<float> Totals; // pushed with record indices 0, 1, 2, ...
		std::vector<int> PopOrder;
	};
	const Case cases[] = {
	    {"distinct totals", {5.0f, 3.0f, 4.0f, 1.0f, 2.0f}, {3, 4, 1, 2, 0}},
	    // Push never passes an equal parent; pop moves the last entry to the root and leaves it there among equals.
	    {"equal totals after the smallest", {1.0f, 2.0f, 2.0f, 2.0f}, {0, 3, 2, 1}},
	    // After popping 1, the sift-down chooses the right child (2, total 3) over the left one (3, total 4).
	    {"the right child when the left costs more", {5.0f, 3.0f, 3.0f, 4.0f}, {1, 2, 3, 0}},
	    // Equal children: the left one is taken.
	    {"the left child between equals", {0.0f, 1.0f, 1.0f, 2.0f, 2.0f, 9.0f}, {0, 1, 2, 3, 4, 5}},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		Impl::PathSearchQueue queue;
		for (std::size_t i = 0; i < testCase.Totals.size(); ++i)
			queue.Push(static_cast<i64>(i), testCase.Totals[i]);
		std::vector<int> order;
		while (!queue.IsEmpty())
			order.push_back(static_cast<int>(queue.Pop().first));
		EXPECT_EQ(order, testCase.PopOrder);
	}
}

TEST_F(PathfindingTest, ASearchThatNeverEndsGivesUpWithAWarningAndKeepsTheOldPath)
{
	// A negative cost between R (0) and node 1 makes every lap around them cheaper, so both are queued again and
	// again; the start (node 2) is out of reach.
	TestGraph graph(3);
	graph.Connect(0, 1, -1.0f);
	Dynarray<Vector> path;
	EXPECT_EQ(Impl::FindPath(graph, TestGraph::PositionOf(2), TestGraph::PositionOf(0), 5000, path),
	          Impl::ePathSearchResult::GAVE_UP);
	EXPECT_EQ(graph.TotalExpansions(), 5000);

	PathfindingComponent* agent = SpawnAgent(&graph, TestGraph::PositionOf(2));
	agent->SetDestination(TestGraph::PositionOf(2) + Vector(1.0f, 0.0f, 0.0f));
	Engine.RunFrame();
	const std::vector<Vector> previous = ToVector(agent->GetPath());
	ASSERT_EQ(previous.size(), 2u);
	ConsoleCapture console;
	agent->SetDestination(TestGraph::PositionOf(0));
	Engine.RunFrame();
	EXPECT_EQ(ToVector(agent->GetPath()), previous);
	EXPECT_TRUE(console.Contains("[WARNING] Pathfinding: the search of entity " +
	                             std::to_string(agent->GetOwner()->GetID().GetValue()) +
	                             " expanded 1000000 records without reaching its start"))
	    << console.GetText();
}

TEST(GridNavGraphTest, CellsNodesAndPositions)
{
	GridNavGraph grid(4, 3, 2.0f, Vector(10.0f, 5.0f, -4.0f));
	grid.SetWalkable(1, 1, false);
	struct Case
	{
		Vector Position;
		int X; // -1: no node
		int Z;
	};
	const Case cases[] = {
	    {Vector(10.0f, 0.0f, -4.0f), 0, 0},   {Vector(11.99f, 100.0f, -2.01f), 0, 0},
	    {Vector(17.9f, 5.0f, 1.9f), 3, 2},    {Vector(12.5f, 5.0f, -1.5f), -1, -1}, // blocked
	    {Vector(9.99f, 5.0f, -4.0f), -1, -1}, {Vector(18.0f, 5.0f, 0.0f), -1, -1},
	    {Vector(12.0f, 5.0f, 2.0f), -1, -1},  {Vector(std::nanf(""), 5.0f, 0.0f), -1, -1},
	    {Vector(1e30f, 5.0f, 0.0f), -1, -1},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(::testing::Message() << testCase.Position.x << ", " << testCase.Position.z);
		const NavNode* node = grid.GetNodeFromWorldPosition(testCase.Position);
		if (testCase.X < 0)
		{
			EXPECT_EQ(node, nullptr);
			continue;
		}
		ASSERT_EQ(node, grid.GetNode(testCase.X, testCase.Z));
		ASSERT_NE(node, nullptr);
		EXPECT_EQ(grid.GetNodeWorldPosition(node),
		          Vector(10.0f + 2.0f * testCase.X + 1.0f, 5.0f, -4.0f + 2.0f * testCase.Z + 1.0f));
	}
	EXPECT_EQ(grid.GetNode(1, 1), nullptr);
	EXPECT_EQ(grid.GetNode(4, 0), nullptr);
	EXPECT_FALSE(grid.IsWalkable(-1, 0));
}

TEST(GridNavGraphTest, ConnectionsAreEightWayWithoutCuttingBlockedCorners)
{
	// . # .
	// . o .
	// . . .     (o: the cell asked about, (1, 1); # blocks (1, 2))
	GridNavGraph grid(3, 3, 1.0f, Vector::ZERO);
	grid.SetWalkable(1, 2, false);
	Dynarray<const NavNode*> connections;
	grid.GetConnections(grid.GetNode(1, 1), connections);
	std::set<std::pair<i32, i32>> cells;
	for (const NavNode* node : connections)
	{
		i32 x = 0;
		i32 z = 0;
		grid.GetCell(node, x, z);
		cells.insert({x, z});
	}
	const std::set<std::pair<i32, i32>> expected = {{0, 1}, {2, 1}, {0, 0}, {1, 0}, {2, 0}};
	EXPECT_EQ(cells, expected) << "(0, 2) and (2, 2) would cut the blocked cell's corners";

	connections.Clear();
	grid.GetConnections(grid.GetNode(0, 0), connections);
	EXPECT_EQ(connections.GetSize(), 3u) << "the grid's edge";
}

TEST(GridNavGraphTest, CostsAreDistancesTimesTheCellsMultipliersAndTheHeuristicIsOctile)
{
	GridNavGraph grid(8, 8, 2.0f, Vector::ZERO);
	grid.SetCostMultiplier(2, 0, 3.0f);
	grid.SetCostMultiplier(3, 0, 0.25f); // raised to 1
	struct Case
	{
		const char* Name;
		i32 FromX, FromZ, ToX, ToZ;
		float Travel; // between neighbours only; < 0 skips it
		float Heuristic;
	};
	const float diagonal = std::sqrt(2.0f);
	const Case cases[] = {
	    {"side", 0, 0, 1, 0, 2.0f, 2.0f},
	    {"diagonal", 0, 0, 1, 1, 2.0f * diagonal, 2.0f * diagonal},
	    {"into a costly cell", 1, 0, 2, 0, 2.0f * 2.0f, 2.0f},
	    {"a multiplier below one", 3, 0, 4, 0, 2.0f, 2.0f},
	    {"far", 0, 0, 5, 2, -1.0f, 2.0f * (3.0f + 2.0f * diagonal)},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		const NavNode* from = grid.GetNode(testCase.FromX, testCase.FromZ);
		const NavNode* to = grid.GetNode(testCase.ToX, testCase.ToZ);
		if (testCase.Travel >= 0.0f)
		{
			EXPECT_FLOAT_EQ(grid.GetTravelCost(from, to), testCase.Travel);
			EXPECT_FLOAT_EQ(grid.GetTravelCost(to, from), testCase.Travel);
		}
		EXPECT_FLOAT_EQ(grid.GetHeuristicCost(from, to), testCase.Heuristic);
	}
	EXPECT_EQ(grid.GetCostMultiplier(3, 0), 1.0f);
}

TEST(GridNavGraphTest, DirectConnectionsNeedEveryCellTheSegmentCrosses)
{
	// Row z = 2 is blocked at x = 3; (5, 5) is blocked too.
	GridNavGraph grid(8, 8, 1.0f, Vector::ZERO);
	grid.SetWalkable(3, 2, false);
	grid.SetWalkable(5, 5, false);
	struct Case
	{
		const char* Name;
		i32 FromX, FromZ, ToX, ToZ;
		bool IsDirect;
	};
	const Case cases[] = {
	    {"along a clear row", 0, 0, 7, 0, true},
	    {"along the row with the block", 0, 2, 7, 2, false},
	    {"a shallow line over the block", 0, 1, 7, 3, false},
	    {"a shallow line beside it", 0, 0, 7, 1, true},
	    {"the diagonal through the blocked cell", 0, 0, 7, 7, false},
	    {"the other diagonal through a blocked cell", 4, 6, 6, 4, false},
	    {"past the corner of a blocked cell", 4, 5, 5, 6, false},
	    {"a line that misses the block, from cells whose other points would not", 3, 5, 5, 6, false},
	    {"from and to the same cell", 2, 2, 2, 2, true},
	    {"steep, clear", 1, 0, 2, 7, true},
	};
	for (const Case& testCase : cases)
	{
		SCOPED_TRACE(testCase.Name);
		const NavNode* from = grid.GetNode(testCase.FromX, testCase.FromZ);
		const NavNode* to = grid.GetNode(testCase.ToX, testCase.ToZ);
		EXPECT_EQ(grid.IsDirectConnection(from, to), testCase.IsDirect);
		EXPECT_EQ(grid.IsDirectConnection(to, from), testCase.IsDirect) << "either way";
	}
}

namespace
{
	constexpr int GRID_SIZE = 64;

	// The cheapest cost between two nodes over the graph's own connections and travel costs; infinite without one.
	float DijkstraCost(const GridNavGraph& grid, const NavNode* start, const NavNode* goal)
	{
		using Entry = std::pair<float, const NavNode*>;
		std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
		std::map<const NavNode*, float> best;
		open.push({0.0f, start});
		best[start] = 0.0f;
		Dynarray<const NavNode*> connections;
		while (!open.empty())
		{
			const auto [cost, node] = open.top();
			open.pop();
			if (node == goal)
				return cost;
			if (cost > best[node])
				continue;
			connections.Clear();
			grid.GetConnections(node, connections);
			for (const NavNode* next : connections)
			{
				const float nextCost = cost + grid.GetTravelCost(node, next);
				const auto found = best.find(next);
				if (found == best.end() || nextCost < found->second)
				{
					best[next] = nextCost;
					open.push({nextCost, next});
				}
			}
		}
		return std::numeric_limits<float>::infinity();
	}

	bool IsConnected(const GridNavGraph& grid, const NavNode* from, const NavNode* to)
	{
		Dynarray<const NavNode*> connections;
		grid.GetConnections(from, connections);
		for (const NavNode* node : connections)
			if (node == to)
				return true;
		return false;
	}

	// Samples the segment finely: every point on it must lie in a walkable cell.
	bool CrossesOnlyWalkableCells(const GridNavGraph& grid, const Vector& from, const Vector& to)
	{
		const int samples = 1 + static_cast<int>((to - from).Length() * 50.0f);
		for (int i = 0; i <= samples; ++i)
		{
			const Vector point = from + (to - from) * (static_cast<float>(i) / static_cast<float>(samples));
			if (!grid.GetNodeFromWorldPosition(point))
				return false;
		}
		return true;
	}
} // namespace

TEST_F(PathfindingTest, GridPathsAreWalkableOptimalAndStraightenedAroundObstacles)
{
	std::mt19937 random(2018);
	std::uniform_int_distribution<int> cell(0, GRID_SIZE - 1);
	std::bernoulli_distribution blocked(0.3);
	int found = 0;
	int straightenedAway = 0;
	for (int round = 0; round < 200; ++round)
	{
		SCOPED_TRACE(round);
		GridNavGraph grid(GRID_SIZE, GRID_SIZE, 1.5f, Vector(-10.0f, 0.0f, 20.0f));
		for (int z = 0; z < GRID_SIZE; ++z)
			for (int x = 0; x < GRID_SIZE; ++x)
				grid.SetWalkable(x, z, !blocked(random));
		const NavNode* startNode = nullptr;
		const NavNode* goalNode = nullptr;
		while (!startNode || !goalNode || startNode == goalNode)
		{
			startNode = grid.GetNode(cell(random), cell(random));
			goalNode = grid.GetNode(cell(random), cell(random));
		}
		// Somewhere inside the cells, not at their centres.
		const Vector start = grid.GetNodeWorldPosition(startNode) + Vector(0.3f, 0.0f, -0.2f);
		const Vector goal = grid.GetNodeWorldPosition(goalNode) + Vector(-0.4f, 0.0f, 0.1f);

		Dynarray<Vector> path;
		const Impl::ePathSearchResult result =
		    Impl::FindPath(grid, start, goal, PathfindingSystem::MAX_EXPANDED_RECORDS, path);
		const float optimum = DijkstraCost(grid, startNode, goalNode);
		ASSERT_NE(result, Impl::ePathSearchResult::GAVE_UP) << "optimum " << optimum;
		ASSERT_EQ(result == Impl::ePathSearchResult::FOUND, std::isfinite(optimum));
		if (result != Impl::ePathSearchResult::FOUND)
			continue;
		++found;

		// The nodes walked: the start's, then those of every point but the first and the last.
		std::vector<const NavNode*> walked = {startNode};
		for (u64 i = 1; i + 1 < path.GetSize(); ++i)
			walked.push_back(grid.GetNodeFromWorldPosition(path[i]));
		ASSERT_EQ(walked.back(), goalNode);
		float cost = 0.0f;
		for (std::size_t i = 0; i + 1 < walked.size(); ++i)
		{
			ASSERT_NE(walked[i + 1], nullptr);
			ASSERT_TRUE(IsConnected(grid, walked[i], walked[i + 1])) << "step " << i;
			cost += grid.GetTravelCost(walked[i], walked[i + 1]);
		}
		EXPECT_NEAR(cost, optimum, 1e-4f * optimum);

		// The agent's own search, straightened.
		PathfindingComponent* agent = SpawnAgent(&grid, start);
		agent->SetDestination(goal);
		PathfindingSystem::UpdatePhase(Engine.GetWorld());
		const Dynarray<Vector>& straight = agent->GetPath();
		ASSERT_GE(straight.GetSize(), 2u);
		EXPECT_EQ(straight[0], start);
		EXPECT_EQ(straight[straight.GetSize() - 1], goal);
		EXPECT_LE(straight.GetSize(), path.GetSize());
		straightenedAway += static_cast<int>(path.GetSize() - straight.GetSize());
		for (u64 i = 0; i + 1 < straight.GetSize(); ++i)
			EXPECT_TRUE(CrossesOnlyWalkableCells(grid, straight[i], straight[i + 1])) << "segment " << i;
		DeferredTaskSystem::DestroyEntity(Engine.GetWorld(), agent->GetOwner());
		DeferredTaskSystem::DeferredTaskPhase(Engine.GetWorld());
	}
	EXPECT_GT(found, 100) << "most grids should connect their two cells";
	EXPECT_GT(straightenedAway, found) << "straightening removes points";
}
