#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"

namespace Vorn
{
	// Handle of a registered type name. The default value is INVALID.
	class TypeInfo
	{
	public:
		static const TypeInfo INVALID;

		TypeInfo() = default;
		bool IsValid() const { return ID != 0; }
		const char* GetTypeName() const;
		bool operator==(const TypeInfo& rhs) const { return ID == rhs.ID; }
		bool operator!=(const TypeInfo& rhs) const { return ID != rhs.ID; }

	private:
		explicit TypeInfo(u64 id) : ID(id) {}
		u64 ID = 0;
		friend class TypeManager;
	};

	class TypeManager
	{
	public:
		static TypeManager& Get();

		// The same name always yields the same TypeInfo; bases are recorded on first registration.
		TypeInfo RegisterOrGetType(const char* name, const Dynarray<TypeInfo>& bases);
		const char* GetTypeName(TypeInfo type) const;
		const Dynarray<TypeInfo>& GetBases(TypeInfo type) const;

	private:
		TypeManager() = default;
		struct Impl;
		Impl& GetImpl() const;
	};
} // namespace Vorn
