#pragma once

#include "ecs/componentbase.hpp"
#include "math/color.hpp"
#include "math/vector2f.hpp"
#include "resources/resourcemanager.hpp"
#include "utils/string.hpp"

namespace Vorn
{
	class TextureResource;

	// An animated sprite: a texture cut into a grid of sub-images that the device steps through by gameplay time.
	struct SpritesheetSettings
	{
		String SpritePath;
		eResourceSource SpriteSource = eResourceSource::GAME;
		// Columns (x) and rows (y) of the sheet.
		Vector2f SubImages = Vector2f(4.0f, 4.0f);
		Color SpriteColor = Color::WHITE;
		float StartFrame = 0.0f;
		float Speed = 1.0f;
		// The device then starts at a random sub-image instead of StartFrame.
		bool IsRandomStartFrame = false;
	};

	// One animated sprite drawn by the device; no per-frame work on the engine side. Holds a reference to its
	// texture, so it is not copied.
	class SpritesheetComponent : public ComponentBase
	{
	public:
		explicit SpritesheetComponent(const SpritesheetSettings& settings);
		~SpritesheetComponent() override;
		SpritesheetComponent(const SpritesheetComponent&) = delete;
		SpritesheetComponent& operator=(const SpritesheetComponent&) = delete;

		const SpritesheetSettings& GetSettings() const { return Settings; }
		// Null when the texture could not be loaded; the device then uses its own fallback.
		TextureResource* GetSpritesheet() const { return Spritesheet; }

	private:
		SpritesheetSettings Settings;
		TextureResource* Spritesheet;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::SpritesheetComponent);
