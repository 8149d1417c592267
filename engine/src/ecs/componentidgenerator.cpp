#include "ecs/componentidgenerator.hpp"

#include <atomic>

namespace Vorn
{
	namespace
	{
		// Atomic because first uses of different types may race on other threads' static initialisers.
		template <typename Group>
		std::atomic<u64> gNextComponentTypeID{0};
	} // namespace

	namespace Impl
	{
		template <typename Group>
		u64 ComponentIDGenerator<Group>::GenerateID()
		{
			return gNextComponentTypeID<Group>.fetch_add(1);
		}

		template class ComponentIDGenerator<ComponentsGroupType>;
		template class ComponentIDGenerator<WorldComponentsGroupType>;
	} // namespace Impl
} // namespace Vorn
