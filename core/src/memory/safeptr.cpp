#include "memory/safeptr.hpp"

#include "utils/check.hpp"

#include <vector>

namespace Vorn
{
	namespace
	{
		// Handle = generation << 32 | slot index. Freeing a slot bumps its generation, which
		// invalidates every old handle to it; freed slots are reused, so the table only grows
		// to the largest number of objects registered at once.
		struct Slot
		{
			SafePtrRoot* Object = nullptr;
			u32 Generation = 1;
			u32 NextFree = 0;
		};

		constexpr u32 NO_FREE_SLOT = 0xFFFFFFFFu;

		struct Registry
		{
			std::vector<Slot> Slots;
			u32 FirstFree = NO_FREE_SLOT;
			u64 LiveCount = 0;
		};

		// Never destroyed: objects with static storage may unregister after other statics are gone.
		Registry& GetRegistry()
		{
			static Registry* registry = new Registry();
			return *registry;
		}

		u64 MakeHandle(u32 index, u32 generation) { return (static_cast<u64>(generation) << 32) | index; }
	} // namespace

	SafePtrRoot::~SafePtrRoot()
	{
		if (Handle == 0)
			return;
		Registry& registry = GetRegistry();
		const u32 index = static_cast<u32>(Handle & 0xFFFFFFFFu);
		Slot& slot = registry.Slots[index];
		slot.Object = nullptr;
		// Generation 0 is skipped so that no handle is ever 0.
		slot.Generation = slot.Generation + 1 == 0 ? 1 : slot.Generation + 1;
		slot.NextFree = registry.FirstFree;
		registry.FirstFree = index;
		--registry.LiveCount;
	}

	u64 SafePtrRoot::RegisterPointer(SafePtrRoot* object)
	{
		VORN_CHECK(object != nullptr, "Cannot register a null pointer!");
		if (object->Handle != 0)
			return object->Handle;

		Registry& registry = GetRegistry();
		u32 index;
		if (registry.FirstFree != NO_FREE_SLOT)
		{
			index = registry.FirstFree;
			registry.FirstFree = registry.Slots[index].NextFree;
		}
		else
		{
			VORN_CHECK(registry.Slots.size() < NO_FREE_SLOT, "Safe pointer registry is full!");
			index = static_cast<u32>(registry.Slots.size());
			registry.Slots.emplace_back();
		}
		Slot& slot = registry.Slots[index];
		slot.Object = object;
		++registry.LiveCount;
		object->Handle = MakeHandle(index, slot.Generation);
		return object->Handle;
	}

	SafePtrRoot* SafePtrRoot::GetPointer(u64 handle)
	{
		const Registry& registry = GetRegistry();
		const u64 index = handle & 0xFFFFFFFFu;
		if (index >= registry.Slots.size())
			return nullptr;
		const Slot& slot = registry.Slots[index];
		return slot.Generation == (handle >> 32) ? slot.Object : nullptr;
	}

	u64 SafePtrRoot::GetRegisteredCount() { return GetRegistry().LiveCount; }

	u64 SafePtrRoot::GetRegistryCapacity() { return GetRegistry().Slots.size(); }
} // namespace Vorn
