#include "audio/soundemittercomponent.hpp"
#include "audio/soundsystem.hpp"
#include "audio/soundworldcomponent.hpp"
#include "debugdrawing/debugdrawsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "math/quaternion.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/meshresource.hpp"
#include "scenes/scenes.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <algorithm>
#include <cmath>
#include <string>

using namespace Vorn;

namespace VornSamples
{
	namespace
	{
		const char* const SOUND_PATH = "Sounds/Hum.ogg";

		// The camera looks straight down on the emitter's circle, centred under it, so the whole circle is in
		// view while the emitter's distance to the listener never changes.
		constexpr float ORBIT_DEPTH = 2.5f;
		constexpr float ORBIT_RADIUS = 1.0f;
		// Radians per second: once round in about six seconds.
		constexpr float ORBIT_SPEED = 1.0f;
		constexpr float EMITTER_RADIUS = 0.18f;

		// Pitch in tenths, so that steps add up exactly.
		constexpr int PITCH_STEP_TENTHS = 1;
		constexpr int MIN_PITCH_TENTHS = 5;
		constexpr int MAX_PITCH_TENTHS = 20;
		constexpr int DEFAULT_PITCH_TENTHS = 10;

		const Color PLAYING_COLOR(1.0f, 0.55f, 0.15f, 1.0f);
		const Color PAUSED_COLOR(0.9f, 0.8f, 0.3f, 1.0f);
		const Color STOPPED_COLOR(0.5f, 0.5f, 0.55f, 1.0f);
		const Color SILENT_COLOR(1.0f, 0.5f, 0.4f, 1.0f);

		enum class ePlayState
		{
			STOPPED,
			PLAYING,
			PAUSED,
		};

		class AudioScene : public Scene
		{
		public:
			const char* GetName() const override { return "Audio"; }
			Dynarray<String> GetControls() const override
			{
				return {String("P: play   Space: pause   S: stop"), String("L: loop on/off   Up/Down: pitch")};
			}

			void Build(SceneContext& context) override
			{
				World* world = context.GetWorld();
				State = ePlayState::STOPPED;
				IsLooping = false;
				PitchTenths = DEFAULT_PITCH_TENTHS;
				OrbitAngle = 0.0f;

				Entity* camera = context.GetCamera();
				camera->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_X, Angle::FromDegrees(-90.0f)));
				SoundWorldComponent* sound = world->GetWorldComponent<SoundWorldComponent>();
				if (!camera->GetComponent<SoundListenerComponent>())
					DeferredTaskSystem::AddComponentImmediate<SoundListenerComponent>(world, camera, sound);
				SoundSystem::ActivateListener(world, camera);

				Entity* sun = context.Spawn();
				DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(
				    world, sun, Color(1.0f, 0.97f, 0.9f, 1.0f), 1.5f);
				sun->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-30.0f)) *
				                                      Quaternion(Vector::UNIT_X, Angle::FromDegrees(-70.0f)));

				const Vector centre = GetOrbitCentre(context);
				context.SpawnMesh(
				    "Models/Plane.obj", centre - Vector(0.0f, EMITTER_RADIUS, 0.0f), Vector(3.0f, 1.0f, 3.0f),
				    Material(Color(0.0f, 0.0f, 0.0f, 1.0f), Color(0.12f, 0.13f, 0.17f, 1.0f), 0.9f, 0.0f, 0.5f));
				// Marks the point under the listener that the emitter circles.
				context.SpawnMesh("Models/Cube.obj", centre, Vector(0.06f, 0.06f, 0.06f),
				                  Material(Color(1.5f, 1.5f, 1.5f, 1.0f), Color::WHITE, 0.5f, 0.0f, 0.5f));

				// The orbit's track, so that the circle shows without the debug view.
				constexpr int TRACK_MARKS = 24;
				const Material trackMaterial(Color(0.0f, 0.0f, 0.0f, 1.0f), Color(0.6f, 0.6f, 0.65f, 1.0f), 0.6f, 0.0f,
				                             0.5f);
				for (int mark = 0; mark < TRACK_MARKS; ++mark)
				{
					const float angle = 2.0f * PI * static_cast<float>(mark) / TRACK_MARKS;
					context.SpawnMesh("Models/Sphere.obj",
					                  centre + Vector(ORBIT_RADIUS * std::cos(angle), -EMITTER_RADIUS,
					                                  ORBIT_RADIUS * std::sin(angle)),
					                  Vector(0.025f, 0.025f, 0.025f), trackMaterial);
				}

				Entity* emitter = context.SpawnMesh("Models/Sphere.obj", GetOrbitPoint(context),
				                                    Vector(EMITTER_RADIUS, EMITTER_RADIUS, EMITTER_RADIUS), Material());
				DeferredTaskSystem::AddComponentImmediate<SoundEmitterComponent>(world, emitter, SOUND_PATH,
				                                                                 eResourceSource::GAME);
				Emitter = SafePtr<Entity>(emitter);

				const int row = context.GetFirstFreeTextRow();
				StateLine = context.AddTextLine(row, "");
				LoopLine = context.AddTextLine(row + 1, "");
				PitchLine = context.AddTextLine(row + 2, "");
				DeviceLine = context.AddTextLine(row + 3, "");
				if (!sound || !sound->IsSoundOn())
				{
					DeviceLine->SetText("No audio device: running silent");
					DeviceLine->GetText().SetFontColor(SILENT_COLOR);
				}
				else if (!IsAudible())
				{
					DeviceLine->SetText(String(SOUND_PATH) + " did not load: running silent");
					DeviceLine->GetText().SetFontColor(SILENT_COLOR);
				}
				else
					DeviceLine->SetText("Audio device: " + SoundSystem::GetDeviceName());
				ShowState();
			}

			void Update(SceneContext& context) override
			{
				World* world = context.GetWorld();
				Entity* emitter = Emitter.Get();
				if (!emitter)
					return;

				OrbitAngle = std::fmod(OrbitAngle + ORBIT_SPEED * context.GetDeltaSeconds(), 2.0f * PI);
				emitter->GetTransform().SetGlobalTranslation(GetOrbitPoint(context));

				// A sound that is not looping stops by itself at its end; OpenAL says so, the keys do not. A silent
				// emitter has no end to reach and keeps the state the keys chose.
				if (State == ePlayState::PLAYING && IsAudible() && !SoundSystem::IsEmmiterActive(world, emitter))
					State = ePlayState::STOPPED;

				const InputWorldComponent& input = context.GetInput();
				if (input.IsClicked(eKey::P))
				{
					SoundSystem::PlayEmitter(world, emitter);
					State = ePlayState::PLAYING;
				}
				// Pausing a sound that does not play leaves it as it is, as in OpenAL.
				if (input.IsClicked(eKey::SPACE) && State == ePlayState::PLAYING)
				{
					SoundSystem::PauseEmitter(world, emitter);
					State = ePlayState::PAUSED;
				}
				if (input.IsClicked(eKey::S))
				{
					SoundSystem::StopEmitter(world, emitter);
					State = ePlayState::STOPPED;
				}
				if (input.IsClicked(eKey::L))
				{
					IsLooping = !IsLooping;
					if (IsLooping)
						SoundSystem::LoopEmitter(world, emitter);
					else
						SoundSystem::UnLoopEmitter(world, emitter);
				}
				const int pitchChange = (input.IsClicked(eKey::UP) ? PITCH_STEP_TENTHS : 0) -
				                        (input.IsClicked(eKey::DOWN) ? PITCH_STEP_TENTHS : 0);
				if (pitchChange != 0)
				{
					PitchTenths = std::clamp(PitchTenths + pitchChange, MIN_PITCH_TENTHS, MAX_PITCH_TENTHS);
					SoundSystem::SetEmitterFrequency(world, emitter, static_cast<float>(PitchTenths) / 10.0f);
				}
				ShowState();

				// The orbit, and the line from its centre to the emitter.
				const Vector centre = GetOrbitCentre(context);
				constexpr int ORBIT_SEGMENTS = 48;
				for (int segment = 0; segment < ORBIT_SEGMENTS; ++segment)
				{
					const float from = 2.0f * PI * static_cast<float>(segment) / ORBIT_SEGMENTS;
					const float to = 2.0f * PI * static_cast<float>(segment + 1) / ORBIT_SEGMENTS;
					DebugDrawSystem::DrawLine(
					    world, centre + Vector(ORBIT_RADIUS * std::cos(from), 0.0f, ORBIT_RADIUS * std::sin(from)),
					    centre + Vector(ORBIT_RADIUS * std::cos(to), 0.0f, ORBIT_RADIUS * std::sin(to)), Color::GREEN);
				}
				DebugDrawSystem::DrawLine(world, centre, emitter->GetTransform().GetGlobalTranslation(), PLAYING_COLOR);
			}

			void Teardown(SceneContext& context) override
			{
				World* world = context.GetWorld();
				// The emitter's entity goes in this frame's deferred phase; silence it now.
				if (Entity* emitter = Emitter.Get())
					SoundSystem::StopEmitter(world, emitter);
				Entity* camera = context.GetCamera();
				if (camera->GetComponent<SoundListenerComponent>())
				{
					SoundSystem::DeactivateListener(world, camera);
					world->RemoveComponent<SoundListenerComponent>(camera);
				}
				Emitter = SafePtr<Entity>();
				StateLine = nullptr;
				LoopLine = nullptr;
				PitchLine = nullptr;
				DeviceLine = nullptr;
			}

		private:
			bool IsAudible() const
			{
				const Entity* emitter = Emitter.Get();
				return emitter && emitter->GetComponent<SoundEmitterComponent>()->GetEmitterID() != 0;
			}

			static Vector GetOrbitCentre(const SceneContext& context)
			{
				return context.GetCamera()->GetTransform().GetGlobalTranslation() - Vector(0.0f, ORBIT_DEPTH, 0.0f);
			}

			Vector GetOrbitPoint(const SceneContext& context) const
			{
				return GetOrbitCentre(context) +
				       Vector(ORBIT_RADIUS * std::cos(OrbitAngle), 0.0f, ORBIT_RADIUS * std::sin(OrbitAngle));
			}

			void ShowState()
			{
				const char* const STATE_NAMES[] = {"stopped", "playing", "paused"};
				const Color STATE_COLORS[] = {STOPPED_COLOR, PLAYING_COLOR, PAUSED_COLOR};
				const int state = static_cast<int>(State);
				StateLine->SetText(String("State: ") + STATE_NAMES[state]);
				LoopLine->SetText(IsLooping ? "Loop: on" : "Loop: off");
				PitchLine->SetText(String(
				    ("Pitch: " + std::to_string(PitchTenths / 10) + "." + std::to_string(PitchTenths % 10)).c_str()));

				// The emitter glows while it plays and dims when it pauses.
				const float glow = State == ePlayState::PLAYING ? 1.0f : (State == ePlayState::PAUSED ? 0.3f : 0.0f);
				const Material material(GlowOf(STATE_COLORS[state], glow), STATE_COLORS[state], 0.4f, 0.0f, 0.5f);
				if (Entity* emitter = Emitter.Get())
					if (MeshRenderingComponent* mesh = emitter->GetComponent<MeshRenderingComponent>();
					    mesh && mesh->GetMesh())
						for (std::size_t index = 0; index < mesh->GetMesh()->GetSubMeshes().GetSize(); ++index)
							mesh->SetMaterial(index, material);
			}

			SafePtr<Entity> Emitter;
			ePlayState State = ePlayState::STOPPED;
			bool IsLooping = false;
			int PitchTenths = DEFAULT_PITCH_TENTHS;
			float OrbitAngle = 0.0f;
			ScreenSpaceTextComponent* StateLine = nullptr;
			ScreenSpaceTextComponent* LoopLine = nullptr;
			ScreenSpaceTextComponent* PitchLine = nullptr;
			ScreenSpaceTextComponent* DeviceLine = nullptr;
		};
	} // namespace

	std::unique_ptr<Scene> CreateAudioScene() { return std::make_unique<AudioScene>(); }
} // namespace VornSamples
