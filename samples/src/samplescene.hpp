#pragma once

#include "collections/dynarray.hpp"
#include "ecs/entity.hpp"
#include "engine.hpp"
#include "math/color.hpp"
#include "math/vector.hpp"
#include "memory/safeptr.hpp"
#include "rendering/material.hpp"
#include "utils/string.hpp"

#include <cstddef>

namespace Vorn
{
	class InputWorldComponent;
	class ScreenSpaceTextComponent;
	class PostprocessSettingsComponent;
} // namespace Vorn

namespace VornSamples
{
	// What a scene builds with. Everything it spawns through here belongs to it and goes when the scene ends, so a
	// scene never has to remember its entities to clean up after itself.
	class SceneContext
	{
	public:
		// `camera` is the one camera viewport 0 shows, shared by every scene.
		SceneContext(Vorn::Engine* engine, Vorn::Entity* camera);
		SceneContext(const SceneContext&) = delete;
		SceneContext& operator=(const SceneContext&) = delete;

		Vorn::Engine* GetEngine() const { return GameEngine; }
		Vorn::World* GetWorld() const { return GameEngine->GetWorld(); }
		const Vorn::InputWorldComponent& GetInput() const;
		// Gameplay seconds since the last frame.
		float GetDeltaSeconds() const;

		// The shared camera: each scene starts with it at the origin looking along -Z, without movement components
		// and with the depth of field off; the scene places it and may add a FreeFloatMovementComponent.
		Vorn::Entity* GetCamera() const { return Camera.Get(); }
		Vorn::PostprocessSettingsComponent& GetPostprocessSettings() const;

		// A new entity under the world's root, destroyed when the scene ends.
		Vorn::Entity* Spawn();
		// A new entity drawing the samples' mesh at `path` with one material on every sub-mesh.
		Vorn::Entity* SpawnMesh(const Vorn::String& path, const Vorn::Vector& position, const Vorn::Vector& scale,
		                        const Vorn::Material& material);
		// Gives every sub-mesh of the entity's mesh `material`; nothing when the mesh could not be loaded.
		static void SetMaterial(Vorn::Entity* entity, const Vorn::Material& material);
		// A line of screen text at the top left: row 0 is the topmost line. The menu puts the scene's name and
		// controls in the first rows (GetFirstFreeTextRow() tells which is next); later rows are the scene's.
		Vorn::ScreenSpaceTextComponent* AddTextLine(int row, const Vorn::String& text,
		                                            const Vorn::Color& color = Vorn::Color::WHITE,
		                                            std::size_t fontSize = TEXT_SIZE);
		int GetFirstFreeTextRow() const { return NextTextRow; }

		// Keeps the text lines at the top left of the screen, whatever its size. Called by the menu every frame.
		void PlaceTextLines();
		// Destroys every entity the scene spawned (in this frame's deferred task phase) and resets the camera.
		void Clear();
		std::size_t GetEntityCount() const { return Entities.GetSize(); }

		static constexpr std::size_t TEXT_SIZE = 20;
		static constexpr int TEXT_ROW_HEIGHT = 26;

	private:
		struct TextLine
		{
			Vorn::SafePtr<Vorn::Entity> Owner;
			int Row = 0;
		};

		Vorn::Engine* GameEngine;
		Vorn::SafePtr<Vorn::Entity> Camera;
		Vorn::Dynarray<Vorn::SafePtr<Vorn::Entity>> Entities;
		Vorn::Dynarray<TextLine> TextLines;
		int NextTextRow = 0;
	};

	// An emissive colour: `color` scaled by `strength` and opaque (Color's own product scales its alpha too).
	inline Vorn::Color GlowOf(const Vorn::Color& color, float strength)
	{
		return Vorn::Color(color.r * strength, color.g * strength, color.b * strength, 1.0f);
	}

	// One scene of the samples. The menu builds it when its number key is pressed and tears it down when another
	// is chosen: first Teardown, then the context destroys every entity the scene spawned.
	class Scene
	{
	public:
		virtual ~Scene() = default;

		virtual const char* GetName() const = 0;
		// One line per control, shown under the name.
		virtual Vorn::Dynarray<Vorn::String> GetControls() const = 0;

		virtual void Build(SceneContext& context) = 0;
		// Once a frame, in the game's update phase, while the scene is shown.
		virtual void Update(SceneContext& context) = 0;
		// Lets go of whatever the scene holds besides its entities (state, world settings it changed).
		virtual void Teardown(SceneContext& context) = 0;
	};
} // namespace VornSamples
