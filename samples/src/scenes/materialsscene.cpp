#include "ecs/deferredtasksystem.hpp"
#include "input/inputworldcomponent.hpp"
#include "movement/freefloatmovementcomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "scenes/scenes.hpp"

#include <cmath>

using namespace Vorn;

namespace VornSamples
{
	namespace
	{
		constexpr int GRID_SIDE = 5;
		constexpr float SPHERE_SPACING = 2.4f;
		constexpr int LIGHT_COUNT = 24;
		constexpr float TWO_PI = 6.28318531f;

		// Spheres from smooth (left) to rough (right) and from dielectric (back) to metal (front), under the sky, a
		// low sun and a ring of coloured point lights circling over them.
		class MaterialsScene : public Scene
		{
		public:
			const char* GetName() const override { return "Materials and lights"; }
			Dynarray<String> GetControls() const override
			{
				return {String("W/S/A/D/Q/E fly, the mouse with the left button held turns, the wheel sets the speed"),
				        String("L stops or starts the lights; left to right: smooth to rough, back to front: "
				               "dielectric to metal")};
			}

			void Build(SceneContext& context) override
			{
				World* world = context.GetWorld();
				Entity* camera = context.GetCamera();
				camera->GetTransform().SetGlobalTranslation(Vector(0.0f, 5.5f, 11.0f));
				camera->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_X, Angle::FromDegrees(-28.0f)));
				DeferredTaskSystem::AddComponentImmediate<FreeFloatMovementComponent>(world, camera, 6.0f, 0.004f,
				                                                                      1.0f);

				Entity* sun = context.Spawn();
				DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(
				    world, sun, Color(1.0f, 0.95f, 0.85f, 1.0f), 3.0f);
				// From the left and above: each sphere's left side is its lit side.
				sun->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-60.0f)) *
				                                      Quaternion(Vector::UNIT_X, Angle::FromDegrees(-40.0f)));

				context.SpawnMesh(
				    "Models/Plane.obj", Vector(0.0f, -1.0f, 0.0f), Vector(12.0f, 1.0f, 12.0f),
				    Material(Color(0.0f, 0.0f, 0.0f, 1.0f), Color(0.12f, 0.12f, 0.13f, 1.0f), 0.8f, 0.0f, 0.5f));
				const float origin = -0.5f * SPHERE_SPACING * (GRID_SIDE - 1);
				for (int row = 0; row < GRID_SIDE; ++row)
					for (int column = 0; column < GRID_SIDE; ++column)
					{
						const float roughness = 0.05f + 0.95f * static_cast<float>(column) / (GRID_SIDE - 1);
						const float metallic = static_cast<float>(row) / (GRID_SIDE - 1);
						context.SpawnMesh("Models/Sphere.obj",
						                  Vector(origin + column * SPHERE_SPACING, 0.0f, origin + row * SPHERE_SPACING),
						                  Vector(1.0f, 1.0f, 1.0f),
						                  Material(Color(0.0f, 0.0f, 0.0f, 1.0f), Color(0.95f, 0.64f, 0.37f, 1.0f),
						                           roughness, metallic, 0.5f));
					}

				Lights.Clear();
				for (int i = 0; i < LIGHT_COUNT; ++i)
				{
					Entity* light = context.Spawn();
					const float hue = static_cast<float>(i) / LIGHT_COUNT * TWO_PI;
					const Color color(0.5f + 0.5f * std::cos(hue), 0.5f + 0.5f * std::cos(hue - TWO_PI / 3.0f),
					                  0.5f + 0.5f * std::cos(hue + TWO_PI / 3.0f), 1.0f);
					DeferredTaskSystem::AddComponentImmediate<PointLightComponent>(world, light, color, 3.0f, 4.0f);
					Lights.PushBack(SafePtr<Entity>(light));
				}
				LightsAngle = 0.0f;
				LightsMoving = true;
				PlaceLights();
			}

			void Update(SceneContext& context) override
			{
				if (context.GetInput().IsClicked(eKey::L))
					LightsMoving = !LightsMoving;
				if (LightsMoving)
					LightsAngle += 0.5f * context.GetDeltaSeconds();
				PlaceLights();
			}

			void Teardown(SceneContext&) override { Lights.Clear(); }

		private:
			// Two rings turning opposite ways, the inner one over the grid's middle, the outer one over its edge.
			void PlaceLights()
			{
				for (std::size_t i = 0; i < Lights.GetSize(); ++i)
				{
					Entity* light = Lights[i].Get();
					if (!light)
						continue;
					const bool isInner = i % 2 == 0;
					const float radius = isInner ? 2.5f : 5.5f;
					const float angle =
					    (isInner ? LightsAngle : -LightsAngle) + static_cast<float>(i / 2) / (LIGHT_COUNT / 2) * TWO_PI;
					light->GetTransform().SetGlobalTranslation(
					    Vector(radius * std::cos(angle), 1.3f, radius * std::sin(angle)));
				}
			}

			Dynarray<SafePtr<Entity>> Lights;
			float LightsAngle = 0.0f;
			bool LightsMoving = true;
		};
	} // namespace

	std::unique_ptr<Scene> CreateMaterialsScene() { return std::make_unique<MaterialsScene>(); }
} // namespace VornSamples
