#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "memory/refcountedbase.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"
#include "utils/string.hpp"

#include <cstddef>
#include <exception>
#include <map>
#include <memory>
#include <utility>

namespace Vorn
{
	// Which asset root a relative path lies under. RESERVED and NONE take the path as it is.
	enum class eResourceSource : u32
	{
		ENGINE = 0,
		GAME = 1,
		RESERVED = 2,
		NONE = 3,
		_COUNT
	};

	namespace Impl
	{
		struct ResourceDeleter;
	}

	// Base of every file-backed asset: reference counted and shared per type and relative path.
	// Only the registry destroys resources, when the last holder gives its reference back.
	class ResourceBase : public RefCountedBase
	{
	public:
		ResourceBase() = default;
		ResourceBase(const ResourceBase&) = delete;
		ResourceBase& operator=(const ResourceBase&) = delete;

		// The registry key: the relative path exactly as given to Load.
		const String& GetPath() const { return Path; }

	protected:
		~ResourceBase() override;

	private:
		String Path;

		template <typename T>
		friend class ResourceManager;
		friend struct Impl::ResourceDeleter;
	};

	// Thrown by a resource constructor whose file cannot be used; the thrower logs why first.
	class ResourceLoadFailedException : public BaseObject, public std::exception
	{
	public:
		~ResourceLoadFailedException() override;
	};

	// The prefix of `source` followed by `path`, with a "/" between them when the prefix is not empty and does not
	// already end in one.
	String EvaluateFullResourcePath(eResourceSource source, const String& path);
	// Text files larger than this are refused unread.
	constexpr std::size_t MAX_TEXT_FILE_BYTES = 64 * 1024 * 1024;
	// Whole content of a regular file, bytes as they are. Throws FileIOException when it cannot be read, is not a
	// regular file or is larger than MAX_TEXT_FILE_BYTES.
	String LoadTextFileRelative(eResourceSource source, const String& path);
	// Replaces the file with `data`. Throws FileIOException when it cannot be written.
	void SaveTextFileRelative(eResourceSource source, const String& path, const String& data);

	namespace Impl
	{
		struct ResourceDeleter
		{
			void operator()(ResourceBase* resource) const { delete resource; }
		};

		// The registry of one resource type: owns every live resource of that type, keyed by relative path.
		template <typename T>
		using ResourcesMap = std::map<String, std::unique_ptr<T, ResourceDeleter>>;

		// Logs a resource constructor's failure that it did not report itself, then the registry's usual line.
		void LogUnexpectedLoadFailure(const String& path, const String& fullPath, const char* reason);

		// Every resource type has exactly one registry in the process, defined by the library that owns the
		// type (VORN_DECLARE_RESOURCE_REGISTRY in its header, VORN_DEFINE_RESOURCE_REGISTRY in one source),
		// so the engine and both plug-ins share instances. A type without a registry fails to link.
		template <typename T>
		ResourcesMap<T>& GetResources();
	} // namespace Impl

	// Creates, shares and destroys the resources of type T.
	template <typename T>
	class ResourceManager
	{
	public:
		// Returns the resource at `path` with one more reference for the caller, or null when it cannot
		// be created, whatever the constructor throws. The key is the relative path alone: a path already loaded is
		// shared whatever the source and extra arguments of the later calls.
		template <typename... Args>
		static T* Load(const String& path, eResourceSource source, Args&&... args)
		{
			Impl::ResourcesMap<T>& resources = Impl::GetResources<T>();
			const auto found = resources.find(path);
			if (found != resources.end())
			{
				found->second->AddRef();
				return found->second.get();
			}

			const String fullPath = EvaluateFullResourcePath(source, path);
			gConsole.LogInfo("ResourceManager: Loading: {}", fullPath);
			T* resource = nullptr;
			try
			{
				resource = new T(fullPath, std::forward<Args>(args)...);
			}
			catch (const ResourceLoadFailedException&)
			{
				gConsole.LogError("Resource loading failed! {}", path);
				return nullptr;
			}
			// Whatever a decoder or importer throws on a bad file (out of memory on a hostile size, its own error
			// types) is bad data too: the load fails, the process goes on.
			catch (const std::exception& exception)
			{
				Impl::LogUnexpectedLoadFailure(path, fullPath, exception.what());
				return nullptr;
			}
			catch (...)
			{
				Impl::LogUnexpectedLoadFailure(path, fullPath, "unknown exception");
				return nullptr;
			}

			resources.emplace(path, std::unique_ptr<T, Impl::ResourceDeleter>(resource));
			resource->Path = path;
			resource->AddRef();
			return resource;
		}

		// Gives back one reference of a resource obtained from Load; the last one destroys it.
		static void Release(T* resource)
		{
			if (!resource->RemoveRef())
				return;
			Impl::ResourcesMap<T>& resources = Impl::GetResources<T>();
			const auto found = resources.find(resource->GetPath());
			VORN_CHECK(found != resources.end(), "Resource creation failed!");
			resources.erase(found);
		}
	};
} // namespace Vorn

// Declares the one registry of resource type T, an object named `name` in Vorn::Impl; use at global scope
// in the header of T.
#define VORN_DECLARE_RESOURCE_REGISTRY(T, name)                                                                        \
	namespace Vorn::Impl                                                                                               \
	{                                                                                                                  \
		extern ResourcesMap<T> name;                                                                                   \
		template <>                                                                                                    \
		ResourcesMap<T>& GetResources<T>();                                                                            \
	}

// Defines the registry declared by VORN_DECLARE_RESOURCE_REGISTRY; use once, at global scope in a source file
// of the library that owns T.
#define VORN_DEFINE_RESOURCE_REGISTRY(T, name)                                                                         \
	namespace Vorn::Impl                                                                                               \
	{                                                                                                                  \
		ResourcesMap<T> name;                                                                                          \
		template <>                                                                                                    \
		ResourcesMap<T>& GetResources<T>()                                                                             \
		{                                                                                                              \
			return name;                                                                                               \
		}                                                                                                              \
	}
