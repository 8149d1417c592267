#include "samplescene.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "movement/freefloatmovementcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "resources/meshresource.hpp"
#include "text/screenspacetextcomponent.hpp"
#include "time/timesystem.hpp"
#include "utils/check.hpp"

using namespace Vorn;

namespace VornSamples
{
	namespace
	{
		constexpr int TEXT_LEFT = 16;
		constexpr int TEXT_TOP_MARGIN = 30;
		const char* const TEXT_FONT = "Fonts/Raleway/Raleway-Regular.ttf";
	} // namespace

	SceneContext::SceneContext(Engine* engine, Entity* camera) : GameEngine(engine), Camera(camera) {}

	const InputWorldComponent& SceneContext::GetInput() const
	{
		const InputWorldComponent* input = GetWorld()->GetWorldComponent<InputWorldComponent>();
		VORN_CHECK(input != nullptr, "The world has no InputWorldComponent!");
		return *input;
	}

	float SceneContext::GetDeltaSeconds() const
	{
		return static_cast<float>(TimeSystem::GetTimerDeltaTime(GetWorld(), eEngineTimer::GAMEPLAY));
	}

	PostprocessSettingsComponent& SceneContext::GetPostprocessSettings() const
	{
		PostprocessSettingsComponent* settings = GetCamera()->GetComponent<PostprocessSettingsComponent>();
		VORN_CHECK(settings != nullptr, "The samples' camera has no PostprocessSettingsComponent!");
		return *settings;
	}

	Entity* SceneContext::Spawn()
	{
		Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
		Entities.PushBack(SafePtr<Entity>(entity));
		return entity;
	}

	Entity* SceneContext::SpawnMesh(const String& path, const Vector& position, const Vector& scale,
	                                const Material& material)
	{
		Entity* entity = Spawn();
		DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(GetWorld(), entity, path,
		                                                                  eResourceSource::GAME);
		SetMaterial(entity, material);
		entity->GetTransform().SetGlobalTranslation(position);
		entity->GetTransform().SetGlobalScale(scale);
		return entity;
	}

	void SceneContext::SetMaterial(Entity* entity, const Material& material)
	{
		MeshRenderingComponent* mesh = entity->GetComponent<MeshRenderingComponent>();
		VORN_CHECK(mesh != nullptr, "The entity draws no mesh!");
		if (mesh->GetMesh())
			for (std::size_t i = 0; i < mesh->GetMesh()->GetSubMeshes().GetSize(); ++i)
				mesh->SetMaterial(i, material);
	}

	ScreenSpaceTextComponent* SceneContext::AddTextLine(int row, const String& text, const Color& color,
	                                                    std::size_t fontSize)
	{
		Entity* entity = Spawn();
		ScreenSpaceTextComponent* line = DeferredTaskSystem::AddComponentImmediate<ScreenSpaceTextComponent>(
		    GetWorld(), entity, Vector2i(TEXT_LEFT, 0), TEXT_FONT, eResourceSource::ENGINE, fontSize, text, color);
		TextLines.PushBack({SafePtr<Entity>(entity), row});
		if (row >= NextTextRow)
			NextTextRow = row + 1;
		PlaceTextLines();
		return line;
	}

	void SceneContext::PlaceTextLines()
	{
		const int height = static_cast<int>(GameEngine->GetRenderingDevice()->GetScreenSize().Height);
		for (const TextLine& line : TextLines)
			if (Entity* owner = line.Owner.Get())
				owner->GetComponent<ScreenSpaceTextComponent>()->SetScreenPosition(
				    Vector2i(TEXT_LEFT, height - TEXT_TOP_MARGIN - line.Row * TEXT_ROW_HEIGHT));
	}

	void SceneContext::Clear()
	{
		World* world = GetWorld();
		for (const SafePtr<Entity>& entity : Entities)
			if (Entity* live = entity.Get())
				DeferredTaskSystem::DestroyEntity(world, live);
		Entities.Clear();
		TextLines.Clear();
		NextTextRow = 0;

		Entity* camera = GetCamera();
		camera->GetTransform().SetGlobalTranslation(Vector(0.0f, 0.0f, 0.0f));
		camera->GetTransform().SetGlobalRotation(Quaternion());
		if (camera->GetComponent<FreeFloatMovementComponent>())
			world->RemoveComponent<FreeFloatMovementComponent>(camera);
		// A zero-sized blur disc leaves every pixel sharp.
		GetPostprocessSettings().DOFSize = 0.0f;
	}
} // namespace VornSamples
