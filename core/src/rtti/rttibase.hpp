#pragma once

#include "collections/dynarray.hpp"
#include "memory/baseobject.hpp"
#include "rtti/rttiproperty.hpp"
#include "rtti/typeinfo.hpp"
#include "utils/string.hpp"

#include <cstddef>

namespace Vorn
{
	class PropertyManagerBase : public BaseObject
	{
	public:
		void AddProperty(const RTTIProperty& property);
		const Dynarray<RTTIProperty>& GetPropertyList() const { return Properties; }

	private:
		Dynarray<RTTIProperty> Properties;
	};

	// One per class, built on the class's first GetPropertyManager() call.
	template <typename T>
	class PropertyManager : public PropertyManagerBase
	{
	};

	enum class eSerializationType
	{
		JSON,
		_COUNT
	};

	enum class eDeserializationStatus
	{
		OK,
		FILE_MISSING,
		UNREADABLE, // the file exists but cannot be opened or read; nothing was applied
		MALFORMED,  // not a regular file, too large, or some stored values could not be used; members kept their values
		_COUNT
	};

	struct DeserializationResult
	{
		eDeserializationStatus Status = eDeserializationStatus::OK;
		String Problem; // what was wrong, for a log line; empty when OK
	};

	// Objects whose registered properties can be written to and read from files.
	class RTTIBase : public BaseObject
	{
	public:
		virtual TypeInfo GetTypeInfo() const = 0;
		virtual PropertyManagerBase* GetPropertyManager() = 0;

		// Writes every registered property. Throws FileIOException when the file cannot be written.
		void SerializeToFile(const String& path, eSerializationType type = eSerializationType::JSON);
		// Files larger than this are refused unread: no settings file comes near it.
		static constexpr std::size_t MAX_SERIALIZED_FILE_BYTES = 1024 * 1024;

		// Reads what it can; every member whose value is missing or unusable keeps its current value. Only regular
		// files up to MAX_SERIALIZED_FILE_BYTES are read; anything else is MALFORMED without being read.
		DeserializationResult DeserializeFromFile(const String& path,
		                                          eSerializationType type = eSerializationType::JSON);
	};
} // namespace Vorn
