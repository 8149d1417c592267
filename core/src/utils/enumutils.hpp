#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"
#include "utils/string.hpp"

#include <initializer_list>
#include <iterator>
#include <map>
#include <stdexcept>
#include <type_traits>

namespace Vorn
{
	template <typename E>
	constexpr u64 EnumSize()
	{
		return static_cast<u64>(E::_COUNT);
	}

	// Fixed array with one element per value of E.
	template <typename T, typename E>
	class EnumArray
	{
	public:
		EnumArray() : Data() {}
		EnumArray(std::initializer_list<T> values) : Data()
		{
			VORN_CHECK(values.size() <= EnumSize<E>(), "Index out of bounds!");
			u64 index = 0;
			for (const T& value : values)
				Data[index++] = value;
		}

		T& operator[](E key) { return Data[CheckedIndex(key)]; }
		const T& operator[](E key) const { return Data[CheckedIndex(key)]; }

		static constexpr u64 GetSize() { return EnumSize<E>(); }
		T* begin() { return Data; }
		T* end() { return Data + EnumSize<E>(); }
		const T* begin() const { return Data; }
		const T* end() const { return Data + EnumSize<E>(); }

	private:
		static u64 CheckedIndex(E key)
		{
			const auto index = static_cast<u64>(key);
			VORN_CHECK(index < EnumSize<E>(), "Index out of bounds!");
			return index;
		}

		T Data[EnumSize<E>()];
	};

	// Set of single-bit enumeration values, stored as their 32-bit mask.
	template <typename E>
	class EnumFlags
	{
	public:
		constexpr EnumFlags() = default;
		constexpr EnumFlags(E value) : Mask(static_cast<u32>(value)) {}
		static constexpr EnumFlags FromMask(u32 mask)
		{
			EnumFlags flags;
			flags.Mask = mask;
			return flags;
		}

		constexpr EnumFlags operator|(EnumFlags rhs) const { return FromMask(Mask | rhs.Mask); }
		constexpr EnumFlags operator&(EnumFlags rhs) const { return FromMask(Mask & rhs.Mask); }
		// AND-NOT: these bits cleared.
		constexpr EnumFlags Without(EnumFlags rhs) const { return FromMask(Mask & ~rhs.Mask); }
		EnumFlags& operator|=(EnumFlags rhs)
		{
			Mask |= rhs.Mask;
			return *this;
		}
		EnumFlags& operator&=(EnumFlags rhs)
		{
			Mask &= rhs.Mask;
			return *this;
		}
		EnumFlags& Reset(EnumFlags rhs)
		{
			Mask &= ~rhs.Mask;
			return *this;
		}

		// True when every bit of `flags` is set here.
		constexpr bool IsSet(EnumFlags flags) const { return (Mask & flags.Mask) == flags.Mask; }
		constexpr bool IsEmpty() const { return Mask == 0; }
		constexpr u32 GetMask() const { return Mask; }
		constexpr bool operator==(EnumFlags rhs) const { return Mask == rhs.Mask; }
		constexpr bool operator!=(EnumFlags rhs) const { return Mask != rhs.Mask; }

	private:
		u32 Mask = 0;
	};

	namespace Impl
	{
		// Names of E's values in value order; specialised by VORN_ENUM_NAMES.
		template <typename E>
		struct EnumNameTable;

		// Name table of an enumeration, built once on first use.
		template <typename E>
		class EnumInfo : public BaseObject
		{
		public:
			static const EnumInfo& Get()
			{
				static const EnumInfo info;
				return info;
			}

			virtual const char* GetEnumName(E value) const
			{
				const auto index = static_cast<u64>(value);
				VORN_CHECK(index < GetEnumSize(), "Index out of bounds!");
				return EnumNameTable<E>::Names[index];
			}

			// An unknown name is a data error, reported like a failed map lookup.
			virtual E GetEnumValue(const String& name) const
			{
				const auto found = ValuesByName.find(name);
				if (found == ValuesByName.end())
					throw std::out_of_range("invalid map<K, T> key");
				return found->second;
			}

			virtual u64 GetEnumSize() const { return EnumSize<E>(); }

		private:
			EnumInfo()
			{
				static_assert(std::size(EnumNameTable<E>::Names) == EnumSize<E>(),
							  "Every enumeration value needs exactly one name");
				for (u64 i = 0; i < EnumSize<E>(); ++i)
					ValuesByName.emplace(String(EnumNameTable<E>::Names[i]), static_cast<E>(i));
			}

			std::map<String, E> ValuesByName;
		};
	} // namespace Impl

	template <typename E>
	const char* GetEnumName(E value)
	{
		return Impl::EnumInfo<E>::Get().GetEnumName(value);
	}

	template <typename E>
	E GetEnumValue(const String& name)
	{
		return Impl::EnumInfo<E>::Get().GetEnumValue(name);
	}
} // namespace Vorn

// Gives enumeration E its value names, in value order; use at global scope.
#define VORN_ENUM_NAMES(E, ...)                                                                                        \
	template <>                                                                                                        \
	struct Vorn::Impl::EnumNameTable<E>                                                                                \
	{                                                                                                                  \
		static constexpr const char* Names[] = {__VA_ARGS__};                                                          \
	}
