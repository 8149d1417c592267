#pragma once

#include "configs/configbase.hpp"

namespace Vorn
{
	// Where the asset roots and the two plug-in libraries are; read from AssetsPathConfig.json in the
	// working directory.
	class AssetsPathConfig : public ConfigBase
	{
	public:
		AssetsPathConfig();

		TypeInfo GetTypeInfo() const override;
		PropertyManagerBase* GetPropertyManager() override;

		// The prefix of paths under `source`; empty for RESERVED and NONE.
		const String& GetAssetsPath(eResourceSource source) const;
		const String& GetRenderingDeviceLibPath() const { return RenderingDeviceLibPath; }
		const String& GetGameLibPath() const { return GameLibPath; }

	private:
		String EngineAssetsPath = "../Engine/Res/";
		String GameAssetsPath = "../Games/QelGame/Res/";
		String RenderingDeviceLibPath;
		String GameLibPath;
	};

	extern AssetsPathConfig gAssetsPathConfig;
} // namespace Vorn
