#pragma once

#include "memory/baseobject.hpp"
#include "utils/check.hpp"

#include <new>
#include <utility>

namespace Vorn
{
	template <typename T>
	class OptionalBase : public BaseObject
	{
	public:
		OptionalBase() = default;
		OptionalBase(const OptionalBase& rhs) : BaseObject()
		{
			if (rhs.IsSet)
				Emplace(rhs.Get());
		}
		OptionalBase(OptionalBase&& rhs) noexcept : BaseObject()
		{
			if (rhs.IsSet)
				Emplace(std::move(rhs.Get()));
			rhs.Reset();
		}
		~OptionalBase() override { Reset(); }

		OptionalBase& operator=(const OptionalBase& rhs)
		{
			if (this != &rhs)
			{
				Reset();
				if (rhs.IsSet)
					Emplace(rhs.Get());
			}
			return *this;
		}
		OptionalBase& operator=(OptionalBase&& rhs) noexcept
		{
			if (this != &rhs)
			{
				Reset();
				if (rhs.IsSet)
					Emplace(std::move(rhs.Get()));
				rhs.Reset();
			}
			return *this;
		}

		bool HasValue() const { return IsSet; }

		T& Value()
		{
			VORN_CHECK(IsSet, "Attempting to get a value from an empty optional");
			return Get();
		}
		const T& Value() const
		{
			VORN_CHECK(IsSet, "Attempting to get a value from an empty optional");
			return Get();
		}

		// Moves the value out and leaves the optional empty.
		T TakeValue()
		{
			VORN_CHECK(IsSet, "Attempting to take a value from an empty optional");
			T value(std::move(Get()));
			Reset();
			return value;
		}

		template <typename... Args>
		void Emplace(Args&&... args)
		{
			Reset();
			new (&Storage) T(std::forward<Args>(args)...);
			IsSet = true;
		}

		void Reset()
		{
			if (IsSet)
			{
				Get().~T();
				IsSet = false;
			}
		}

	private:
		T& Get() { return *std::launder(reinterpret_cast<T*>(&Storage)); }
		const T& Get() const { return *std::launder(reinterpret_cast<const T*>(&Storage)); }

		bool IsSet = false;
		alignas(T) unsigned char Storage[sizeof(T)];
	};

	// Value that may be absent; reading an empty one is a programming error.
	template <typename T>
	class Optional : public OptionalBase<T>
	{
	public:
		Optional() = default;
		Optional(const T& value) { this->Emplace(value); }
		Optional(T&& value) { this->Emplace(std::move(value)); }
	};
} // namespace Vorn
