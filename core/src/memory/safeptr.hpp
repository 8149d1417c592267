#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	// Base of objects that others refer to through handles instead of raw pointers.
	// A handle resolves to null once its object is destroyed, even when a new object
	// later takes the same memory.
	class SafePtrRoot : public BaseObject
	{
	public:
		SafePtrRoot() = default;
		SafePtrRoot(const SafePtrRoot&) : BaseObject() {}
		SafePtrRoot& operator=(const SafePtrRoot&) { return *this; }
		~SafePtrRoot() override;

		// Same object, same handle; a handle is never 0.
		static u64 RegisterPointer(SafePtrRoot* object);
		static SafePtrRoot* GetPointer(u64 handle);
		// Number of live registrations; the registry's memory follows this, not the objects ever made.
		static u64 GetRegisteredCount();
		static u64 GetRegistryCapacity();

	private:
		u64 Handle = 0;
	};

	// Typed handle of a SafePtrRoot-derived object.
	template <typename T>
	class SafePtr
	{
	public:
		SafePtr() = default;
		explicit SafePtr(T* object) : Handle(object ? SafePtrRoot::RegisterPointer(object) : 0) {}

		T* Get() const { return Handle ? static_cast<T*>(SafePtrRoot::GetPointer(Handle)) : nullptr; }
		T* operator->() const { return Get(); }
		explicit operator bool() const { return Get() != nullptr; }
		bool operator==(const SafePtr& rhs) const { return Handle == rhs.Handle; }
		u64 GetHandle() const { return Handle; }

	private:
		u64 Handle = 0;
	};
} // namespace Vorn
