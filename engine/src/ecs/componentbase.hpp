#pragma once

#include "defines.hpp"
#include "ecs/componentidgenerator.hpp"
#include "ecs/entity.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"
#include "utils/enumutils.hpp"

namespace Vorn
{
	class EntityTransform;

	enum class eComponentBaseFlags : u32
	{
		NEWLY_CREATED = 1,
		_COUNT
	};

	// Base of every component and world component. The world sets the owner when it attaches the
	// component; world components never get one.
	class ComponentBase : public BaseObject
	{
	public:
		ComponentBase() = default;
		~ComponentBase() override;

		Entity* GetOwner() const
		{
			VORN_CHECK(Owner != nullptr, "Component was not properly initialized.");
			return Owner;
		}

		EntityTransform& GetTransform() const { return GetOwner()->GetTransform(); }

		// The owner's component of type T, or null.
		template <typename T>
		T* GetSibling() const
		{
			return GetOwner()->template GetComponent<T>();
		}

		EnumFlags<eComponentBaseFlags> GetFlags() const { return Flags; }
		void SetFlags(EnumFlags<eComponentBaseFlags> flags) { Flags |= flags; }
		void ResetFlags(EnumFlags<eComponentBaseFlags> flags) { Flags.Reset(flags); }
		// True when every given bit is set.
		bool CheckFlags(EnumFlags<eComponentBaseFlags> flags) const { return Flags.IsSet(flags); }

	private:
		Entity* Owner = nullptr;
		EnumFlags<eComponentBaseFlags> Flags;

		friend class World;
		template <typename T1, typename... Ts>
		friend class ComponentIterator;
	};
} // namespace Vorn
