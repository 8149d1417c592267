#include "configs/debugconfig.hpp"

namespace Vorn
{
	namespace
	{
		const TypeInfo gDebugConfigType = TypeManager::Get().RegisterOrGetType("DebugConfig", {});
	}

	DebugConfig gDebugConfig;

	DebugConfig::DebugConfig() : ConfigBase("Debug Config", eResourceSource::ENGINE) {}

	TypeInfo DebugConfig::GetTypeInfo() const { return TypeManager::Get().RegisterOrGetType("DebugConfig", {}); }

	PropertyManagerBase* DebugConfig::GetPropertyManager()
	{
		static PropertyManager<DebugConfig> manager;
		static const bool isFilled = [this]
		{
			manager.AddProperty(Impl::CreatePropertyInfo(this, &DisplayFPS, "DisplayFPS", 0));
			return true;
		}();
		(void)isFilled;
		return &manager;
	}
} // namespace Vorn
