#pragma once

#include "defines.hpp"

namespace Vorn
{
	constexpr u64 MAX_COMPONENTS_COUNT = 64;
	constexpr u64 MAX_WORLD_COMPONENTS_COUNT = 64;

	// Components on entities and world components are numbered independently, each from 0.
	struct ComponentsGroupType
	{
	};
	struct WorldComponentsGroupType
	{
	};

	namespace Impl
	{
		// Hands out small per-type IDs in order of first use. The counters live in the engine library
		// only, so the engine and every plug-in agree on one ID per type:
		// - An engine type names itself in its header with VORN_DECLARE_COMPONENT_TYPE(T) (or the
		//   WORLD_ variant) right after the class, and in its .cpp with VORN_DEFINE_COMPONENT_TYPE(T).
		//   That makes its GetComponentTypeID<T> an ordinary exported function of the engine library, so a
		//   plug-in calls the engine's copy and never builds one of its own.
		// - A plug-in's type needs nothing: the template below is instantiated in the plug-in and takes its
		//   ID from the engine's exported GenerateID.
		template <typename Group>
		class ComponentIDGenerator
		{
		public:
			template <typename T>
			static u64 GetComponentTypeID()
			{
				static const u64 id = GenerateID();
				return id;
			}

		private:
			// Returns the group's counter and increments it; defined in the engine library only.
			static u64 GenerateID();
		};
	} // namespace Impl

	template <typename T>
	u64 GetComponentTypeID()
	{
		return Impl::ComponentIDGenerator<ComponentsGroupType>::GetComponentTypeID<T>();
	}

	template <typename T>
	u64 GetWorldComponentTypeID()
	{
		return Impl::ComponentIDGenerator<WorldComponentsGroupType>::GetComponentTypeID<T>();
	}
} // namespace Vorn

// Use at global scope with the fully qualified type name, in the header of an engine component type,
// right after the class (before anything asks for its ID).
#define VORN_DECLARE_COMPONENT_TYPE(T)                                                                                 \
	template <>                                                                                                        \
	template <>                                                                                                        \
	::Vorn::u64 Vorn::Impl::ComponentIDGenerator<Vorn::ComponentsGroupType>::GetComponentTypeID<T>()

// Use at global scope, in exactly one engine .cpp.
#define VORN_DEFINE_COMPONENT_TYPE(T)                                                                                  \
	template <>                                                                                                        \
	template <>                                                                                                        \
	::Vorn::u64 Vorn::Impl::ComponentIDGenerator<Vorn::ComponentsGroupType>::GetComponentTypeID<T>()                   \
	{                                                                                                                  \
		static const ::Vorn::u64 id = GenerateID();                                                                    \
		return id;                                                                                                     \
	}                                                                                                                  \
	static_assert(true, "")

#define VORN_DECLARE_WORLD_COMPONENT_TYPE(T)                                                                           \
	template <>                                                                                                        \
	template <>                                                                                                        \
	::Vorn::u64 Vorn::Impl::ComponentIDGenerator<Vorn::WorldComponentsGroupType>::GetComponentTypeID<T>()

#define VORN_DEFINE_WORLD_COMPONENT_TYPE(T)                                                                            \
	template <>                                                                                                        \
	template <>                                                                                                        \
	::Vorn::u64 Vorn::Impl::ComponentIDGenerator<Vorn::WorldComponentsGroupType>::GetComponentTypeID<T>()              \
	{                                                                                                                  \
		static const ::Vorn::u64 id = GenerateID();                                                                    \
		return id;                                                                                                     \
	}                                                                                                                  \
	static_assert(true, "")
