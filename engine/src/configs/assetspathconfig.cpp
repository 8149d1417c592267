#include "configs/assetspathconfig.hpp"

#include "utils/check.hpp"

namespace Vorn
{
	namespace
	{
		const TypeInfo gAssetsPathConfigType = TypeManager::Get().RegisterOrGetType("AssetsPathConfig", {});
	}

	AssetsPathConfig gAssetsPathConfig;

	AssetsPathConfig::AssetsPathConfig() : ConfigBase("Assets Path Config", eResourceSource::NONE) {}

	TypeInfo AssetsPathConfig::GetTypeInfo() const
	{
		return TypeManager::Get().RegisterOrGetType("AssetsPathConfig", {});
	}

	PropertyManagerBase* AssetsPathConfig::GetPropertyManager()
	{
		static PropertyManager<AssetsPathConfig> manager;
		static const bool isFilled = [this]
		{
			manager.AddProperty(Impl::CreatePropertyInfo(this, &EngineAssetsPath, "EngineAssetsPath", 0));
			manager.AddProperty(Impl::CreatePropertyInfo(this, &GameAssetsPath, "GameAssetsPath", 0));
			manager.AddProperty(Impl::CreatePropertyInfo(this, &RenderingDeviceLibPath, "RenderingDeviceLibPath", 0));
			manager.AddProperty(Impl::CreatePropertyInfo(this, &GameLibPath, "GameLibPath", 0));
			return true;
		}();
		(void)isFilled;
		return &manager;
	}

	const String& AssetsPathConfig::GetAssetsPath(eResourceSource source) const
	{
		switch (source)
		{
		case eResourceSource::ENGINE:
			return EngineAssetsPath;
		case eResourceSource::GAME:
			return GameAssetsPath;
		case eResourceSource::RESERVED:
		case eResourceSource::NONE:
			return String::EMPTY;
		default:
			VORN_FAIL("Invalid resource source!");
		}
	}
} // namespace Vorn
