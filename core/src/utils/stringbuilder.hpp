#pragma once

#include "defines.hpp"
#include "utils/string.hpp"

#include <string>

namespace Vorn
{
	// Reusable text accumulator; keeps its capacity across Clear() so hot paths stop allocating.
	class StringBuilder
	{
	public:
		StringBuilder& Append(const char* text);
		StringBuilder& Append(const char* text, u64 length);
		StringBuilder& Append(const String& text);
		StringBuilder& Append(char value);
		StringBuilder& Append(i32 value);
		StringBuilder& Append(u32 value);
		StringBuilder& Append(i64 value);
		StringBuilder& Append(u64 value);
		StringBuilder& Append(float value, int decimals);

		// Appends `text` as a format whose "{}" markers later calls to Substitute() fill.
		StringBuilder& AppendFormat(const char* text) { return Append(text); }

		u64 GetLength() const { return Text.size(); }
		const char* GetCStr() const { return Text.c_str(); }
		String GetString() const { return String(Text); }
		String StealString();
		void Clear() { Text.clear(); }

		// Position of the first "{}" at or after `from`, or npos.
		std::size_t FindPlaceholder(std::size_t from) const { return Text.find("{}", from); }
		// Replaces the two characters at `at` with `value`; returns the position after it.
		std::size_t ReplacePlaceholder(std::size_t at, const std::string& value);

	private:
		std::string Text;
	};
} // namespace Vorn
