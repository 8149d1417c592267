#pragma once

#include "configs/configbase.hpp"
#include "defines.hpp"
#include "utils/enumutils.hpp"

namespace Vorn
{
	// Single-bit categories of automatic debug drawings. The engine names no bit; whoever draws picks them.
	enum class eDebugDrawPreset : u32
	{
	};

	// Debug display switches; read from Configs/DebugConfig.json under the engine assets.
	class DebugConfig : public ConfigBase
	{
	public:
		DebugConfig();

		TypeInfo GetTypeInfo() const override;
		PropertyManagerBase* GetPropertyManager() override;

		EnumFlags<eDebugDrawPreset> GetDebugDrawPresets() const { return DebugDrawPresets; }
		void SetDebugDrawPresets(EnumFlags<eDebugDrawPreset> presets) { DebugDrawPresets = presets; }
		void EnableDebugDrawPresets(EnumFlags<eDebugDrawPreset> presets) { DebugDrawPresets |= presets; }
		void DisableDebugDrawPresets(EnumFlags<eDebugDrawPreset> presets) { DebugDrawPresets.Reset(presets); }

		bool IsDebugRenderingActive() const { return DebugRenderingActive; }
		void SetDebugRenderingActive(bool isActive) { DebugRenderingActive = isActive; }

		bool GetDisplayFPS() const { return DisplayFPS; }
		void SetDisplayFPS(bool display) { DisplayFPS = display; }

	private:
		// Not persisted: the presets and the active switch are set by code at run time.
		EnumFlags<eDebugDrawPreset> DebugDrawPresets = EnumFlags<eDebugDrawPreset>::FromMask(0x2);
		bool DebugRenderingActive = true;
		bool DisplayFPS = true;
	};

	extern DebugConfig gDebugConfig;
} // namespace Vorn
