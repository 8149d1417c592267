#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"

#include <functional>
#include <string>

namespace Vorn
{
	// Immutable-style text value used across the engine's interfaces.
	class String
	{
	public:
		static const String EMPTY;

		String() = default;
		String(const char* text) : Text(text ? text : "") {}
		String(const char* text, u64 length) : Text(text, length) {}
		explicit String(std::string text) : Text(std::move(text)) {}

		static String From(int value) { return String(std::to_string(value)); }

		const char* GetCStr() const { return Text.c_str(); }
		u64 GetLength() const { return Text.size(); }
		bool IsEmpty() const { return Text.empty(); }
		const std::string& GetStdString() const { return Text; }

		char operator[](u64 index) const;

		bool operator<(const String& rhs) const { return Text < rhs.Text; }
		bool operator==(const String& rhs) const { return Text == rhs.Text; }
		bool operator!=(const String& rhs) const { return Text != rhs.Text; }
		bool operator==(const char* rhs) const { return Text == (rhs ? rhs : ""); }
		bool operator!=(const char* rhs) const { return !(*this == rhs); }
		String operator+(const String& rhs) const { return String(Text + rhs.Text); }
		String operator+(const char* rhs) const { return String(Text + (rhs ? rhs : "")); }
		String operator+(char rhs) const { return String(Text + rhs); }

		bool Contains(const String& what) const { return Text.find(what.Text) != std::string::npos; }
		bool StartsWith(const String& what) const { return Text.compare(0, what.Text.size(), what.Text) == 0; }
		bool EndsWith(const String& what) const;
		// Every occurrence of `what` becomes `with`; an empty `what` changes nothing.
		String Replace(const String& what, const String& with) const;
		String Replace(char what, char with) const;
		// Without leading and trailing blanks (space, tab, CR, LF).
		String GetTrimmed() const;
		// Pieces between separators; empty pieces are dropped.
		Dynarray<String> Split(char separator) const;
		String Substr(u64 start, u64 length) const { return String(Text.substr(start, length)); }

	private:
		std::string Text;
	};

	inline String operator+(const char* lhs, const String& rhs) { return String(lhs) + rhs; }
} // namespace Vorn

template <>
struct std::hash<Vorn::String>
{
	std::size_t operator()(const Vorn::String& value) const noexcept
	{
		return std::hash<std::string>()(value.GetStdString());
	}
};
