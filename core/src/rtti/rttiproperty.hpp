#pragma once

#include "defines.hpp"
#include "rtti/typeinfo.hpp"
#include "utils/check.hpp"
#include "utils/string.hpp"

#include <memory>
#include <type_traits>

namespace Vorn
{
	class RTTIBase;

	// Member types the serialiser can read and write.
	enum class eCorePropertyType
	{
		UNHANDLED,
		BOOL,
		STRING,
		_COUNT
	};

	// One persisted member: where it lives inside the object and how to read it.
	struct RTTIProperty
	{
		TypeInfo Type;
		i64 Offset = 0; // bytes from the object's RTTIBase part to the member
		String Name;
		u32 Flags = 0;
		eCorePropertyType CoreType = eCorePropertyType::UNHANDLED;
		std::shared_ptr<void> ImplData;
	};

	namespace Impl
	{
		template <typename T>
		constexpr eCorePropertyType GetCorePropertyType()
		{
			if constexpr (std::is_same_v<T, bool>)
				return eCorePropertyType::BOOL;
			else if constexpr (std::is_same_v<T, String>)
				return eCorePropertyType::STRING;
			else
				return eCorePropertyType::UNHANDLED;
		}

		// Describes `member` of `object`, which must be a member of that very object.
		template <typename Owner, typename Member>
		RTTIProperty CreatePropertyInfo(const Owner* object, const Member* member, const char* name, u32 flags)
		{
			static_assert(std::is_base_of_v<RTTIBase, Owner>, "Properties belong to RTTIBase-derived objects");
			const auto* base = reinterpret_cast<const char*>(static_cast<const RTTIBase*>(object));
			RTTIProperty property;
			property.Type = TypeInfo::INVALID;
			property.Offset = reinterpret_cast<const char*>(member) - base;
			property.Name = name;
			property.Flags = flags;
			property.CoreType = GetCorePropertyType<Member>();
			VORN_CHECK(property.CoreType != eCorePropertyType::UNHANDLED, "Unhandled property type!");
			return property;
		}
	} // namespace Impl
} // namespace Vorn
