#include "rtti/typeinfo.hpp"

#include "utils/check.hpp"

#include <string>
#include <unordered_map>
#include <vector>

namespace Vorn
{
	const TypeInfo TypeInfo::INVALID;

	struct TypeManager::Impl
	{
		struct Record
		{
			std::string Name;
			Dynarray<TypeInfo> Bases;
		};
		std::vector<Record> Records; // ID i lives at index i - 1
		std::unordered_map<std::string, u64> IdsByName;
	};

	TypeManager& TypeManager::Get()
	{
		static TypeManager manager;
		return manager;
	}

	TypeManager::Impl& TypeManager::GetImpl() const
	{
		// Never destroyed: types are registered by static objects of every library.
		static Impl* impl = new Impl();
		return *impl;
	}

	TypeInfo TypeManager::RegisterOrGetType(const char* name, const Dynarray<TypeInfo>& bases)
	{
		VORN_CHECK(name != nullptr && name[0] != '\0', "Type name cannot be empty!");
		Impl& impl = GetImpl();
		const auto found = impl.IdsByName.find(name);
		if (found != impl.IdsByName.end())
			return TypeInfo(found->second);
		impl.Records.push_back({name, bases});
		const u64 id = impl.Records.size();
		impl.IdsByName.emplace(name, id);
		return TypeInfo(id);
	}

	const char* TypeManager::GetTypeName(TypeInfo type) const
	{
		VORN_CHECK(type.IsValid(), "Invalid type!");
		return GetImpl().Records[type.ID - 1].Name.c_str();
	}

	const Dynarray<TypeInfo>& TypeManager::GetBases(TypeInfo type) const
	{
		VORN_CHECK(type.IsValid(), "Invalid type!");
		return GetImpl().Records[type.ID - 1].Bases;
	}

	const char* TypeInfo::GetTypeName() const { return TypeManager::Get().GetTypeName(*this); }
} // namespace Vorn
