#pragma once

#include <utility>

// Element type that counts its live instances, so container tests can see leaks and double
// destruction, and that is not trivially copyable, so containers must really move and copy.
struct Tracked
{
	static inline int Live = 0;

	int Value = 0;

	Tracked() { ++Live; }
	Tracked(int value) : Value(value) { ++Live; }
	Tracked(const Tracked& rhs) : Value(rhs.Value) { ++Live; }
	Tracked(Tracked&& rhs) noexcept : Value(std::exchange(rhs.Value, -1)) { ++Live; }
	Tracked& operator=(const Tracked&) = default;
	Tracked& operator=(Tracked&& rhs) noexcept
	{
		Value = std::exchange(rhs.Value, -1);
		return *this;
	}
	~Tracked() { --Live; }

	bool operator==(const Tracked& rhs) const { return Value == rhs.Value; }
};
