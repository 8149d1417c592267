#pragma once

#include "defines.hpp"
#include "utils/string.hpp"

#include <functional>

namespace Vorn
{
	// Process-unique, non-zero identifier; a default-constructed one is empty (false).
	class UniqueID
	{
	public:
		UniqueID() = default;
		static UniqueID Generate();

		explicit operator bool() const { return Value != 0; }
		bool IsEmpty() const { return Value == 0; }
		bool operator==(const UniqueID& rhs) const { return Value == rhs.Value; }
		bool operator!=(const UniqueID& rhs) const { return Value != rhs.Value; }
		bool operator<(const UniqueID& rhs) const { return Value < rhs.Value; }
		u64 GetValue() const { return Value; }
		String ToString() const;

	private:
		explicit UniqueID(u64 value) : Value(value) {}
		u64 Value = 0;
	};
} // namespace Vorn

template <>
struct std::hash<Vorn::UniqueID>
{
	std::size_t operator()(const Vorn::UniqueID& id) const noexcept { return std::hash<Vorn::u64>()(id.GetValue()); }
};
