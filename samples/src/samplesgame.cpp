#include "samplesgame.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "scenes/scenes.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <iterator>
#include <string>

using namespace Vorn;

extern "C" IGame* CreateGame() { return new VornSamples::SamplesGame(); }

namespace VornSamples
{
	namespace
	{
		// Scene 0: the list of the others under the sky.
		class MenuScene : public Scene
		{
		public:
			explicit MenuScene(Dynarray<String> sceneNames) : SceneNames(std::move(sceneNames)) {}

			const char* GetName() const override { return "Vorn samples"; }
			Dynarray<String> GetControls() const override
			{
				return {String("Number keys choose a scene, 0 comes back here"),
				        String("F5 to F10: the renderer's views (F10 shows the debug drawing)")};
			}

			void Build(SceneContext& context) override
			{
				// Looking a little above the horizon, so the menu stands over the sky's blue.
				context.GetCamera()->GetTransform().SetGlobalRotation(
				    Quaternion(Vector::UNIT_X, Angle::FromDegrees(20.0f)));
				int row = context.GetFirstFreeTextRow() + 1;
				for (std::size_t i = 0; i < SceneNames.GetSize(); ++i)
					context.AddTextLine(row++, String(std::to_string(i + 1).c_str()) + "   " + SceneNames[i],
					                    Color(1.0f, 0.85f, 0.4f, 1.0f));
			}
			void Update(SceneContext&) override {}
			void Teardown(SceneContext&) override {}

		private:
			Dynarray<String> SceneNames;
		};

		const eKey SCENE_KEYS[] = {eKey::DIGIT_0, eKey::DIGIT_1, eKey::DIGIT_2, eKey::DIGIT_3, eKey::DIGIT_4,
		                           eKey::DIGIT_5, eKey::DIGIT_6, eKey::DIGIT_7, eKey::DIGIT_8, eKey::DIGIT_9};
	} // namespace

	SamplesGame::SamplesGame()
	{
		std::vector<std::unique_ptr<Scene>> scenes;
		scenes.push_back(CreateMaterialsScene());
		scenes.push_back(CreatePhysics2DScene());
		scenes.push_back(CreatePhysics3DScene());
		scenes.push_back(CreatePathfindingScene());
		scenes.push_back(CreateAudioScene());
		scenes.push_back(CreateParticlesScene());
		Dynarray<String> names;
		for (const std::unique_ptr<Scene>& scene : scenes)
			names.PushBack(scene->GetName());
		Scenes.push_back(std::make_unique<MenuScene>(std::move(names)));
		for (std::unique_ptr<Scene>& scene : scenes)
			Scenes.push_back(std::move(scene));
	}

	SamplesGame::~SamplesGame() = default;

	void SamplesGame::RegisterEngine(Engine* engine) { GameEngine = engine; }

	void SamplesGame::Init()
	{
		gConsole.LogInfo("SamplesGame::Init");
		World* world = GameEngine->GetWorld();
		SkyboxWorldComponent* sky =
		    world->AddWorldComponent<SkyboxWorldComponent>("HDR/HDR.hdr", eResourceSource::GAME);
		// Dimmed, so the sun and the point lights stand out against the light from the sky.
		sky->SetTint(Color::WHITE * 0.4f);

		Entity* camera = DeferredTaskSystem::SpawnEntityImmediate(world);
		CameraComponent* lens = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
		    world, camera, Angle::FromDegrees(60.0f), 0.1f, 1000.0f);
		DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(world, camera);
		world->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, lens);
		Context = std::make_unique<SceneContext>(GameEngine, camera);

		GameEngine->RegisterGameUpdatePhase([this](World*) { Update(); });
		Show(0);
	}

	void SamplesGame::Deinit()
	{
		GetCurrentScene().Teardown(*Context);
		Context->Clear();
		gConsole.LogInfo("SamplesGame::Deinit");
	}

	void SamplesGame::SwitchTo(std::size_t index)
	{
		VORN_CHECK(index < Scenes.size(), "No sample scene of that number!");
		GetCurrentScene().Teardown(*Context);
		Show(index);
	}

	void SamplesGame::Show(std::size_t index)
	{
		Context->Clear();
		Current = index;
		Scene& scene = GetCurrentScene();
		gConsole.LogInfo("Samples: scene {} - {}", index, scene.GetName());
		int row = 0;
		Context->AddTextLine(row++, scene.GetName(), Color(1.0f, 1.0f, 1.0f, 1.0f), SceneContext::TEXT_SIZE + 8);
		for (const String& control : scene.GetControls())
			Context->AddTextLine(row++, control, Color(0.8f, 0.9f, 1.0f, 1.0f));
		scene.Build(*Context);
	}

	void SamplesGame::Update()
	{
		const InputWorldComponent& input = Context->GetInput();
		for (std::size_t index = 0; index < Scenes.size() && index < std::size(SCENE_KEYS); ++index)
			if (input.IsClicked(SCENE_KEYS[index]))
			{
				SwitchTo(index);
				break;
			}
		GetCurrentScene().Update(*Context);
		Context->PlaceTextLines();
	}
} // namespace VornSamples
