#include "utils/string.hpp"

#include "utils/check.hpp"

namespace Vorn
{
	const String String::EMPTY;

	char String::operator[](u64 index) const
	{
		VORN_CHECK(index < Text.size(), "Index out of bounds!");
		return Text[index];
	}

	bool String::EndsWith(const String& what) const
	{
		return Text.size() >= what.Text.size() &&
		       Text.compare(Text.size() - what.Text.size(), what.Text.size(), what.Text) == 0;
	}

	String String::Replace(const String& what, const String& with) const
	{
		if (what.IsEmpty())
			return *this;
		std::string result;
		result.reserve(Text.size());
		std::size_t from = 0;
		for (std::size_t at = Text.find(what.Text); at != std::string::npos; at = Text.find(what.Text, from))
		{
			result.append(Text, from, at - from);
			result.append(with.Text);
			from = at + what.Text.size();
		}
		result.append(Text, from, std::string::npos);
		return String(std::move(result));
	}

	String String::Replace(char what, char with) const
	{
		std::string result = Text;
		for (char& c : result)
			if (c == what)
				c = with;
		return String(std::move(result));
	}

	String String::GetTrimmed() const
	{
		const char* blanks = " \t\r\n";
		const std::size_t first = Text.find_first_not_of(blanks);
		if (first == std::string::npos)
			return String();
		const std::size_t last = Text.find_last_not_of(blanks);
		return String(Text.substr(first, last - first + 1));
	}

	Dynarray<String> String::Split(char separator) const
	{
		Dynarray<String> pieces;
		std::size_t from = 0;
		while (from <= Text.size())
		{
			std::size_t at = Text.find(separator, from);
			if (at == std::string::npos)
				at = Text.size();
			if (at > from)
				pieces.PushBack(String(Text.substr(from, at - from)));
			from = at + 1;
		}
		return pieces;
	}
} // namespace Vorn
