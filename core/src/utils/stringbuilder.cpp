#include "utils/stringbuilder.hpp"

#include <cstdio>

namespace Vorn
{
	StringBuilder& StringBuilder::Append(const char* text)
	{
		if (text)
			Text.append(text);
		return *this;
	}

	StringBuilder& StringBuilder::Append(const char* text, u64 length)
	{
		Text.append(text, length);
		return *this;
	}

	StringBuilder& StringBuilder::Append(const String& text)
	{
		Text.append(text.GetStdString());
		return *this;
	}

	StringBuilder& StringBuilder::Append(char value)
	{
		Text.push_back(value);
		return *this;
	}

	StringBuilder& StringBuilder::Append(i32 value)
	{
		Text.append(std::to_string(value));
		return *this;
	}

	StringBuilder& StringBuilder::Append(u32 value)
	{
		Text.append(std::to_string(value));
		return *this;
	}

	StringBuilder& StringBuilder::Append(i64 value)
	{
		Text.append(std::to_string(value));
		return *this;
	}

	StringBuilder& StringBuilder::Append(u64 value)
	{
		Text.append(std::to_string(value));
		return *this;
	}

	StringBuilder& StringBuilder::Append(float value, int decimals)
	{
		char buffer[64];
		const int written = std::snprintf(buffer, sizeof(buffer), "%.*f", decimals, static_cast<double>(value));
		if (written > 0 && static_cast<std::size_t>(written) < sizeof(buffer))
			Text.append(buffer, static_cast<std::size_t>(written));
		else
			Text.append(std::to_string(value)); // only huge magnitudes with many decimals land here
		return *this;
	}

	String StringBuilder::StealString()
	{
		String result(std::move(Text));
		Text.clear();
		return result;
	}

	std::size_t StringBuilder::ReplacePlaceholder(std::size_t at, const std::string& value)
	{
		Text.replace(at, 2, value);
		return at + value.size();
	}
} // namespace Vorn
