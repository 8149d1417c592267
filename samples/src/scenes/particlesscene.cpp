#include "configs/debugconfig.hpp"
#include "debugdrawing/debugdrawsystem.hpp"
#include "debugdrawing/fpssystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "input/inputworldcomponent.hpp"
#include "math/vector2f.hpp"
#include "particles/particlecomponent.hpp"
#include "particles/spritesheetcomponent.hpp"
#include "scenes/scenes.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

using namespace Vorn;

namespace VornSamples
{
	namespace
	{
		constexpr float TWO_PI = 6.28318531f;
		const char* const TEXT_FONT = "Fonts/Raleway/Raleway-Regular.ttf";
		const char* const PARTICLE_TEXTURE = "Textures/Particle.png";
		const char* const SPRITESHEET_TEXTURE = "Textures/Spritesheet.png";

		// The stage lies in the plane z = 0, seen from straight in front; the screen texts are laid out for this
		// distance and the camera's 60 degrees.
		const Vector CAMERA_POSITION(0.0f, 0.0f, 10.0f);
		const Vector WORLD_EMITTER_CENTRE(-6.0f, 1.5f, 0.0f);
		const Vector LOCAL_EMITTER_CENTRE(6.0f, 1.5f, 0.0f);
		const Vector SPRITE_POSITION(0.0f, 1.5f, 0.0f);
		constexpr float SPRITE_HALF_SIZE = 1.3f;
		constexpr float CIRCLE_RADIUS = 1.5f;
		// Radians a second: a world-space particle's life covers a bit less than half a turn of trail.
		constexpr float CIRCLE_SPEED = 1.6f;
		constexpr std::size_t PUFF_SIZE = 20;

		// The trail is fed at a steady rate rather than in bursts, which come at most once a frame and would leave
		// gaps on a slow machine.
		constexpr float TRAIL_PARTICLES_PER_SECOND = 40.0f;
		constexpr float TRAIL_LIFETIME = 1.6f;
		constexpr float TRAIL_SCATTER = 0.2f;
		constexpr float TRAIL_PARTICLE_SIZE = 0.2f;
		constexpr float CLOUD_LIFETIME = 1.5f;
		constexpr float CLOUD_RADIUS = 0.7f;
		constexpr float CLOUD_PARTICLE_SIZE = 0.4f;
		// Frames a second of the sprite sheet: its sixteen frames make one turn of the spinner in two seconds.
		constexpr float SPRITE_FRAMES_PER_SECOND = 8.0f;

		// The texts below the stage, placed from the screen's centre in pixels of a 720-line screen (y upwards)
		// and scaled with the screen's height, as the stage is, so each stays under what it names.
		struct StageText
		{
			const char* Text;
			int CentreOffsetX;
			int CentreOffsetY;
			std::size_t FontSize;
			Color TextColor;
		};

		const Color TRAIL_COLOR(1.0f, 0.55f, 0.15f, 1.0f);
		const Color CLOUD_COLOR(0.3f, 0.85f, 1.0f, 1.0f);
		const Color SPRITE_COLOR(1.0f, 1.0f, 1.0f, 1.0f);
		const Color NOTE_COLOR(0.78f, 0.8f, 0.85f, 1.0f);

		const StageText STAGE_TEXTS[] = {
		    {"World space", -455, -110, 26, TRAIL_COLOR},
		    {"the trail stays where it was born", -518, -136, 18, NOTE_COLOR},
		    {"Sprite sheet", -79, -110, 26, SPRITE_COLOR},
		    {"4 x 4 frames; the fallback renderer draws it", -194, -136, 18, NOTE_COLOR},
		    {"Local space", 298, -110, 26, CLOUD_COLOR},
		    {"the cloud travels with its emitter", 228, -136, 18, NOTE_COLOR},
		    {"and plays the sprite sheet", 259, -160, 18, NOTE_COLOR},
		    {"Text in 16 px,", -369, -280, 16, Color(0.65f, 0.65f, 0.7f, 1.0f)},
		    {"in 24 px,", -245, -280, 24, Color(0.45f, 0.95f, 0.45f, 1.0f)},
		    {"in 36 px", -124, -280, 36, Color(1.0f, 0.85f, 0.3f, 1.0f)},
		    {"and in 52 px", 39, -280, 52, Color(1.0f, 0.4f, 0.75f, 1.0f)},
		};

		// A particle's size shrinks with its age, so a trail thins out towards its end.
		std::function<void(ParticleEmitter::Particle*)> ShrinkWithAge(float startSize)
		{
			return [startSize](ParticleEmitter::Particle* particle)
			{
				const float left = particle->LifeTime > 0.0f ? 1.0f - particle->Age / particle->LifeTime : 0.0f;
				const float size = startSize * std::max(left, 0.1f);
				particle->Scale = Vector(size, size, size);
			};
		}

		// Two emitters circle side by side in step: the world-space one leaves a trail of orange dots behind it, the
		// local-space one carries its cloud of sprite-sheet spinners along. Between them an animated sprite sheet,
		// which only the fallback renderer draws (the cloud shows the same sheet with either renderer); under them
		// texts of several sizes and colours; at the top left the engine's frame count.
		class ParticlesScene : public Scene
		{
		public:
			const char* GetName() const override { return "Particles, sprite sheets and text"; }
			Dynarray<String> GetControls() const override
			{
				return {String("Space stops or starts the circling, E puffs particles from both emitters"),
				        String("F10 shows the emitters' paths and the engine's own frame counter")};
			}

			void Build(SceneContext& context) override
			{
				World* world = context.GetWorld();
				context.GetCamera()->GetTransform().SetGlobalTranslation(CAMERA_POSITION);

				// A dark board behind the stage, so the particles and texts stand out against it and not the sky. Black
				// and fully metallic, it reflects nothing of the sky: only its flat emissive colour shows.
				Entity* backdrop = context.SpawnMesh(
				    "Models/Plane.obj", Vector(0.0f, 0.0f, -1.0f), Vector(12.0f, 1.0f, 7.0f),
				    Material(Color(0.025f, 0.03f, 0.045f, 1.0f), Color(0.0f, 0.0f, 0.0f, 1.0f), 1.0f, 1.0f, 0.5f));
				backdrop->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_X, Angle::FromDegrees(90.0f)));

				Random.seed(2018u);
				ParticleEmitter::Settings trail;
				trail.MaxSize = 128;
				trail.InitialSize = 0;
				trail.SimulationSpace = eSimulationSpace::WORLD_SPACE;
				trail.Spritesheet.SpritePath = PARTICLE_TEXTURE;
				trail.Spritesheet.SubImages = Vector2f(1.0f, 1.0f);
				trail.EmitterColor = TRAIL_COLOR;
				trail.ParticleInitFunc = [this](ParticleEmitter::Particle* particle)
				{ Scatter(particle, TRAIL_SCATTER, TRAIL_LIFETIME, TRAIL_PARTICLE_SIZE); };
				trail.ParticleUpdateFunc = ShrinkWithAge(TRAIL_PARTICLE_SIZE);
				WorldEmitter = SafePtr<Entity>(context.Spawn());
				DeferredTaskSystem::AddComponentImmediate<ParticleComponent>(world, WorldEmitter.Get(), trail)
				    ->GetEmitter()
				    ->SetBurstEnabled(false);

				ParticleEmitter::Settings cloud;
				cloud.MaxSize = 128;
				cloud.InitialSize = 12;
				cloud.BurstTimeMin = 0.15f;
				cloud.BurstTimeMax = 0.35f;
				cloud.BurstSizeMin = 4;
				cloud.BurstSizeMax = 8;
				cloud.SimulationSpace = eSimulationSpace::LOCAL_SPACE;
				cloud.Spritesheet.SpritePath = SPRITESHEET_TEXTURE;
				cloud.Spritesheet.Speed = SPRITE_FRAMES_PER_SECOND;
				// White, so that each spinner shows the sheet's own colours.
				cloud.EmitterColor = Color::WHITE;
				cloud.ParticleInitFunc = [this](ParticleEmitter::Particle* particle)
				{ Scatter(particle, CLOUD_RADIUS, CLOUD_LIFETIME, CLOUD_PARTICLE_SIZE); };
				cloud.ParticleUpdateFunc = ShrinkWithAge(CLOUD_PARTICLE_SIZE);
				LocalEmitter = SafePtr<Entity>(context.Spawn());
				DeferredTaskSystem::AddComponentImmediate<ParticleComponent>(world, LocalEmitter.Get(), cloud);

				SpritesheetSettings sprite;
				sprite.SpritePath = SPRITESHEET_TEXTURE;
				sprite.SubImages = Vector2f(4.0f, 4.0f);
				sprite.Speed = SPRITE_FRAMES_PER_SECOND;
				Entity* sheet = context.Spawn();
				sheet->GetTransform().SetGlobalTranslation(SPRITE_POSITION);
				sheet->GetTransform().SetGlobalScale(Vector(SPRITE_HALF_SIZE, SPRITE_HALF_SIZE, 1.0f));
				DeferredTaskSystem::AddComponentImmediate<SpritesheetComponent>(world, sheet, sprite);

				StageTexts.Clear();
				for (const StageText& text : STAGE_TEXTS)
				{
					Entity* owner = context.Spawn();
					DeferredTaskSystem::AddComponentImmediate<ScreenSpaceTextComponent>(
					    world, owner, Vector2i(0, 0), TEXT_FONT, eResourceSource::ENGINE, text.FontSize, text.Text,
					    text.TextColor);
					StageTexts.PushBack(SafePtr<Entity>(owner));
				}
				PlaceStageTexts(context);

				FrameRateLine = SafePtr<Entity>(
				    context
				        .AddTextLine(context.GetFirstFreeTextRow(), FrameRateText(world), Color(0.6f, 1.0f, 0.6f, 1.0f))
				        ->GetOwner());

				CircleAngle = 0.0f;
				IsCircling = true;
				TrailDebt = 0.0f;
				PlaceEmitters();
			}

			void Update(SceneContext& context) override
			{
				World* world = context.GetWorld();
				const InputWorldComponent& input = context.GetInput();
				if (input.IsClicked(eKey::SPACE))
					IsCircling = !IsCircling;
				const bool isPuffing = input.IsClicked(eKey::E);

				const float deltaSeconds = context.GetDeltaSeconds();
				if (IsCircling)
					CircleAngle = std::fmod(CircleAngle + CIRCLE_SPEED * deltaSeconds, TWO_PI);
				PlaceEmitters();

				TrailDebt += TRAIL_PARTICLES_PER_SECOND * deltaSeconds;
				const float whole = std::floor(TrailDebt);
				TrailDebt -= whole;
				if (ParticleEmitter* trail = GetEmitter(WorldEmitter))
					trail->Emit(static_cast<std::size_t>(whole) + (isPuffing ? PUFF_SIZE : 0));
				if (ParticleEmitter* cloud = GetEmitter(LocalEmitter); cloud && isPuffing)
					cloud->Emit(PUFF_SIZE);

				DebugDrawSystem::DrawCircle(world, WORLD_EMITTER_CENTRE, CIRCLE_RADIUS, Vector::UNIT_Z, TRAIL_COLOR);
				DebugDrawSystem::DrawCircle(world, LOCAL_EMITTER_CENTRE, CIRCLE_RADIUS, Vector::UNIT_Z, CLOUD_COLOR);
				const Vector corner(SPRITE_HALF_SIZE, SPRITE_HALF_SIZE, 0.0f);
				DebugDrawSystem::DrawBox(world, SPRITE_POSITION - corner, SPRITE_POSITION + corner, SPRITE_COLOR);

				if (Entity* owner = FrameRateLine.Get())
				{
					owner->GetComponent<ScreenSpaceTextComponent>()->SetText(FrameRateText(world));
				}
				PlaceStageTexts(context);
			}

			void Teardown(SceneContext&) override
			{
				WorldEmitter = SafePtr<Entity>();
				LocalEmitter = SafePtr<Entity>();
				FrameRateLine = SafePtr<Entity>();
				StageTexts.Clear();
			}

		private:
			static ParticleEmitter* GetEmitter(const SafePtr<Entity>& owner)
			{
				Entity* entity = owner.Get();
				return entity ? entity->GetComponent<ParticleComponent>()->GetEmitter() : nullptr;
			}

			// The engine counts frames only while the debug configuration asks it to.
			static String FrameRateText(World* world)
			{
				if (!gDebugConfig.GetDisplayFPS())
					return String("Frame rate: not counted (DisplayFPS is off in the debug configuration)");
				const int framesPerSecond = static_cast<int>(FPSSystem::GetFPS(world));
				return String(("Frame rate: " + std::to_string(framesPerSecond) + " frames a second").c_str());
			}

			// Both emitters go round their circles in step, so the two spaces can be compared side by side.
			void PlaceEmitters()
			{
				const Vector offset(CIRCLE_RADIUS * std::cos(CircleAngle), CIRCLE_RADIUS * std::sin(CircleAngle), 0.0f);
				if (Entity* emitter = WorldEmitter.Get())
					emitter->GetTransform().SetGlobalTranslation(WORLD_EMITTER_CENTRE + offset);
				if (Entity* emitter = LocalEmitter.Get())
					emitter->GetTransform().SetGlobalTranslation(LOCAL_EMITTER_CENTRE + offset);
			}

			void PlaceStageTexts(SceneContext& context)
			{
				const ScreenSize& screen = context.GetEngine()->GetRenderingDevice()->GetScreenSize();
				const float scale = static_cast<float>(screen.Height) / 720.0f;
				const int centreX = static_cast<int>(screen.Width / 2);
				const int centreY = static_cast<int>(screen.Height / 2);
				for (std::size_t i = 0; i < StageTexts.GetSize(); ++i)
					if (Entity* owner = StageTexts[i].Get())
						owner->GetComponent<ScreenSpaceTextComponent>()->SetScreenPosition(
						    Vector2i(centreX + static_cast<int>(std::lround(STAGE_TEXTS[i].CentreOffsetX * scale)),
						             centreY + static_cast<int>(std::lround(STAGE_TEXTS[i].CentreOffsetY * scale))));
			}

			// A new particle somewhere in a disc of `radius` around where the emitter put it, facing the camera;
			// it does not move, so only its space decides whether it follows the emitter.
			void Scatter(ParticleEmitter::Particle* particle, float radius, float lifeTime, float size)
			{
				std::uniform_real_distribution<float> unit(0.0f, 1.0f);
				const float angle = TWO_PI * unit(Random);
				// The square root spreads the particles evenly over the disc instead of crowding its centre.
				const float distance = radius * std::sqrt(unit(Random));
				particle->Position += Vector(distance * std::cos(angle), distance * std::sin(angle), 0.0f);
				particle->LifeTime = lifeTime;
				particle->Scale = Vector(size, size, size);
			}

			SafePtr<Entity> WorldEmitter;
			SafePtr<Entity> LocalEmitter;
			SafePtr<Entity> FrameRateLine;
			Dynarray<SafePtr<Entity>> StageTexts;
			std::minstd_rand Random;
			float CircleAngle = 0.0f;
			bool IsCircling = true;
			// Trail particles owed to the steady rate but not emitted yet: less than one.
			float TrailDebt = 0.0f;
		};
	} // namespace

	std::unique_ptr<Scene> CreateParticlesScene() { return std::make_unique<ParticlesScene>(); }
} // namespace VornSamples
