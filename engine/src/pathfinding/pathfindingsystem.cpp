#include "pathfinding/pathfindingsystem.hpp"

#include "collections/orderedmap.hpp"
#include "ecs/entity.hpp"
#include "ecs/world.hpp"
#include "pathfinding/navgraph.hpp"
#include "pathfinding/pathfindingcomponent.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

namespace Vorn
{
	namespace
	{
		struct PathNode
		{
			const NavNode* Node = nullptr;
			// Accumulated from the search's root, the destination's node.
			float Cost = 0.0f;
			float Heuristic = 0.0f;
			i64 ParentIndex = -1;
		};
	} // namespace

	void Impl::PathSearchQueue::Push(i64 recordIndex, float totalCost)
	{
		Heap.PushBack({recordIndex, totalCost});
		u64 index = Heap.GetSize() - 1;
		while (index > 0)
		{
			const u64 parent = (index - 1) / 2;
			if (!(Heap[parent].second > Heap[index].second))
				break;
			std::swap(Heap[parent], Heap[index]);
			index = parent;
		}
	}

	Impl::PathSearchQueue::Entry Impl::PathSearchQueue::Pop()
	{
		VORN_CHECK(!Heap.IsEmpty(), "Pop from an empty path search queue");
		const Entry top = Heap[0];
		Heap[0] = Heap[Heap.GetSize() - 1];
		Heap.PopBack();
		const u64 size = Heap.GetSize();
		u64 index = 0;
		while (true)
		{
			const u64 left = 2 * index + 1;
			const u64 right = left + 1;
			if (left >= size)
				break;
			u64 child = left;
			if (right < size && Heap[left].second > Heap[right].second)
				child = right;
			if (!(Heap[child].second < Heap[index].second))
				break;
			std::swap(Heap[child], Heap[index]);
			index = child;
		}
		return top;
	}

	Impl::ePathSearchResult Impl::FindPath(const NavGraph& graph, const Vector& start, const Vector& destination,
	                                       u64 maxExpandedRecords, Dynarray<Vector>& path)
	{
		const NavNode* destinationNode = graph.GetNodeFromWorldPosition(destination);
		const NavNode* startNode = graph.GetNodeFromWorldPosition(start);
		if (!destinationNode || !startNode)
			return ePathSearchResult::NO_PATH;
		// An agent asked to walk inside its own node goes straight there.
		if (startNode == destinationNode)
		{
			path.Clear();
			path.PushBack(start);
			path.PushBack(destination);
			return ePathSearchResult::FOUND;
		}

		Dynarray<PathNode> records;
		PathSearchQueue open;
		OrderedMap<const NavNode*, float> bestCosts;
		Dynarray<const NavNode*> connections;

		records.PushBack({destinationNode, 0.0f, graph.GetHeuristicCost(destinationNode, startNode), -1});
		open.Push(0, records[0].Heuristic);
		bestCosts.Insert(destinationNode, 0.0f);

		i64 found = -1;
		u64 expanded = 0;
		while (found < 0)
		{
			if (open.IsEmpty())
				return ePathSearchResult::NO_PATH;
			if (expanded == maxExpandedRecords)
				return ePathSearchResult::GAVE_UP;
			++expanded;

			const i64 current = open.Pop().first;
			// Records may move while new ones are appended; copy what the loop needs.
			const NavNode* currentNode = records[static_cast<u64>(current)].Node;
			const float currentCost = records[static_cast<u64>(current)].Cost;
			connections.Clear();
			graph.GetConnections(currentNode, connections);
			for (const NavNode* next : connections)
			{
				if (next == startNode)
				{
					found = current;
					break;
				}
				const float newCost = graph.GetTravelCost(next, currentNode) + currentCost;
				// Only a cheaper way earns a node a further record. Taking equal ones too would queue a node once for
				// every way of reaching it at the same cost, and grids have exponentially many of those.
				float* best = bestCosts.Get(next);
				if (best && !(newCost < *best))
					continue;
				const float heuristic = graph.GetHeuristicCost(next, startNode);
				records.PushBack({next, newCost, heuristic, current});
				open.Push(static_cast<i64>(records.GetSize() - 1), newCost + heuristic);
				if (best)
					*best = newCost;
				else
					bestCosts.Insert(next, newCost);
			}
		}

		path.Clear();
		path.PushBack(start);
		for (i64 index = found; index >= 0; index = records[static_cast<u64>(index)].ParentIndex)
			path.PushBack(graph.GetNodeWorldPosition(records[static_cast<u64>(index)].Node));
		path.PushBack(destination);
		return ePathSearchResult::FOUND;
	}

	void Impl::StraightenPath(const NavGraph& graph, Dynarray<Vector>& path)
	{
		for (u64 i = 0; i + 1 < path.GetSize(); ++i)
		{
			const NavNode* from = graph.GetNodeFromWorldPosition(path[i]);
			for (u64 n = path.GetSize() - 1; n > i + 1; --n)
			{
				if (graph.IsDirectConnection(from, graph.GetNodeFromWorldPosition(path[n])))
				{
					for (u64 removed = i + 1; removed < n; ++removed)
						path.RemoveByIdx(i + 1);
					break;
				}
			}
		}
	}

	void PathfindingSystem::UpdatePhase(World* world)
	{
		for (auto [component] : world->IterateComponents<PathfindingComponent>())
		{
			if (!component->RecalculateRequested)
				continue;
			component->RecalculateRequested = false;

			const Vector& start = component->GetTransform().GetGlobalTranslation();
			Dynarray<Vector> path;
			const Impl::ePathSearchResult result = Impl::FindPath(
			    *component->NavigationGraph, start, component->CurrentDestination.Value(), MAX_EXPANDED_RECORDS, path);
			if (result == Impl::ePathSearchResult::GAVE_UP)
				gConsole.LogWarning("Pathfinding: the search of entity {} expanded {} records without reaching its "
				                    "start; the entity keeps its previous path",
				                    component->GetOwner()->GetID().GetValue(), MAX_EXPANDED_RECORDS);
			if (result != Impl::ePathSearchResult::FOUND)
				continue;
			Impl::StraightenPath(*component->NavigationGraph, path);
			component->CalculatedPath = std::move(path);
		}
	}
} // namespace Vorn
