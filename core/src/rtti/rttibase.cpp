#include "rtti/rttibase.hpp"

#include "io/fileoutputstream.hpp"
#include "io/regularfile.hpp"
#include "utils/stringbuilder.hpp"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <string>

namespace Vorn
{
	namespace
	{
		template <typename T>
		T& MemberAt(RTTIBase* object, const RTTIProperty& property)
		{
			return *reinterpret_cast<T*>(reinterpret_cast<char*>(object) + property.Offset);
		}

		String Quoted(const String& name) { return "\"" + name + "\""; }
	} // namespace

	void PropertyManagerBase::AddProperty(const RTTIProperty& property) { Properties.PushBack(property); }

	void RTTIBase::SerializeToFile(const String& path, eSerializationType type)
	{
		VORN_CHECK(type == eSerializationType::JSON, "Unsupported serialization type!");
		nlohmann::ordered_json root = nlohmann::ordered_json::object();
		for (const RTTIProperty& property : GetPropertyManager()->GetPropertyList())
		{
			const std::string& key = property.Name.GetStdString();
			switch (property.CoreType)
			{
			case eCorePropertyType::BOOL:
				root[key] = MemberAt<bool>(this, property);
				break;
			case eCorePropertyType::STRING:
				root[key] = MemberAt<String>(this, property).GetStdString();
				break;
			default:
				VORN_FAIL("Unhandled property type!");
			}
		}

		// Write beside the target and rename over it, so a failed write never destroys the old file.
		const std::string text = root.dump(4) + "\n";
		const String temporaryPath = path + ".tmp";
		{
			std::ofstream file(temporaryPath.GetCStr(), std::ios::binary | std::ios::trunc);
			if (!file)
				throw FileIOException("Cannot open file for writing: " + temporaryPath);
			file.write(text.data(), static_cast<std::streamsize>(text.size()));
			file.close();
			if (!file)
			{
				std::remove(temporaryPath.GetCStr());
				throw FileIOException("Cannot write file: " + temporaryPath);
			}
		}
		if (std::rename(temporaryPath.GetCStr(), path.GetCStr()) != 0)
		{
			std::remove(temporaryPath.GetCStr());
			throw FileIOException("Cannot replace file: " + path);
		}
	}

	DeserializationResult RTTIBase::DeserializeFromFile(const String& path, eSerializationType type)
	{
		VORN_CHECK(type == eSerializationType::JSON, "Unsupported serialization type!");
		DeserializationResult result;

		std::string content;
		const RegularFileResult file = ReadRegularFile(path, MAX_SERIALIZED_FILE_BYTES, content);
		switch (file.Status)
		{
		case eRegularFileStatus::OK:
			break;
		case eRegularFileStatus::MISSING:
			result.Status = eDeserializationStatus::FILE_MISSING;
			break;
		case eRegularFileStatus::UNREADABLE:
			result.Status = eDeserializationStatus::UNREADABLE;
			break;
		default:
			result.Status = eDeserializationStatus::MALFORMED;
			break;
		}
		if (!file.IsOk())
		{
			result.Problem = file.Problem;
			return result;
		}

		const nlohmann::json root = nlohmann::json::parse(content, nullptr, false);
		if (root.is_discarded() || !root.is_object())
		{
			result.Status = eDeserializationStatus::MALFORMED;
			result.Problem = path + " is not a JSON object";
			return result;
		}

		StringBuilder problems;
		auto reportProblem = [&](const String& text)
		{
			result.Status = eDeserializationStatus::MALFORMED;
			if (problems.GetLength() > 0)
				problems.Append("; ");
			problems.Append(text);
		};

		const Dynarray<RTTIProperty>& properties = GetPropertyManager()->GetPropertyList();
		for (const RTTIProperty& property : properties)
		{
			const auto value = root.find(property.Name.GetStdString());
			if (value == root.end())
				continue;
			switch (property.CoreType)
			{
			case eCorePropertyType::BOOL:
				if (value->is_boolean())
					MemberAt<bool>(this, property) = value->get<bool>();
				else
					reportProblem("property " + Quoted(property.Name) + " is not a boolean");
				break;
			case eCorePropertyType::STRING:
				if (value->is_string())
					MemberAt<String>(this, property) = String(value->get<std::string>());
				else
					reportProblem("property " + Quoted(property.Name) + " is not a string");
				break;
			default:
				VORN_FAIL("Unhandled property type!");
			}
		}

		// Keys we do not know would vanish on the next save; say so rather than drop them quietly.
		for (const auto& item : root.items())
		{
			bool isKnown = false;
			for (const RTTIProperty& property : properties)
				isKnown = isKnown || property.Name == item.key().c_str();
			if (!isKnown)
				reportProblem("unknown property " + Quoted(String(item.key().c_str())));
		}

		result.Problem = problems.StealString();
		return result;
	}
} // namespace Vorn
