#pragma once

#include "collections/dynarray.hpp"
#include "memory/baseobject.hpp"
#include "rtti/rttiproperty.hpp"
#include "rtti/typeinfo.hpp"
#include "utils/string.hpp"

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
		MALFORMED, // some or all stored values could not be used; their members kept their values
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
		// Reads what it can; every member whose value is missing or unusable keeps its current value.
		DeserializationResult DeserializeFromFile(const String& path,
		                                          eSerializationType type = eSerializationType::JSON);
	};
} // namespace Vorn
