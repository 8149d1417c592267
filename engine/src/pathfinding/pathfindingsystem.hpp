#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/vector.hpp"

#include <utility>

namespace Vorn
{
	class NavGraph;
	class NavNode;
	class World;

	// Runs the searches of PathfindingComponents whose destination changed. The search is A* from the destination
	// back to the start, so that parent links read in walking order; the path it gives is then straightened through
	// the graph's direct connections. A node gets a further search record whenever a cheaper way to it is found;
	// its older records stay queued. With a heuristic that never overestimates and is exact between neighbours,
	// the search stops at the start's first sighting with a cheapest path.
	namespace PathfindingSystem
	{
		// A search that expands this many records without reaching its start gives up with a WARNING: a graph with
		// negative costs, or one that makes up nodes without end, would otherwise never end it.
		inline constexpr u64 MAX_EXPANDED_RECORDS = 1'000'000;

		void UpdatePhase(World* world);
	} // namespace PathfindingSystem

	namespace Impl
	{
		// The search's open queue: a binary heap of (record index, total cost) with the smallest total on top. Ties
		// are broken as the search's results depend on: pop sifts down into the left child unless it costs more than
		// the right one, and swaps only while the child costs strictly less; push sifts up while the parent costs
		// strictly more.
		class PathSearchQueue
		{
		public:
			using Entry = std::pair<i64, float>;

			void Push(i64 recordIndex, float totalCost);
			// The queue must not be empty.
			Entry Pop();
			bool IsEmpty() const { return Heap.IsEmpty(); }

		private:
			Dynarray<Entry> Heap;
		};

		enum class ePathSearchResult
		{
			FOUND,
			NO_PATH,
			GAVE_UP, // more than `maxExpandedRecords` records expanded
		};

		// The unstraightened path from `start` to `destination`: start, the nodes' positions from the start's
		// neighbour up to the destination's node, destination. When both lie in the same node it is start,
		// destination. `path` is filled only when the result is FOUND.
		ePathSearchResult FindPath(const NavGraph& graph, const Vector& start, const Vector& destination,
		                           u64 maxExpandedRecords, Dynarray<Vector>& path);

		// Removes every point that a direct connection lets the agent skip; the first and last points stay.
		void StraightenPath(const NavGraph& graph, Dynarray<Vector>& path);
	} // namespace Impl
} // namespace Vorn
