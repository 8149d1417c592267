#include "scenes/physics2dscene.hpp"

#include "debugdrawing/debugdrawsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "memory/safeptr.hpp"
#include "physics2d/box2dcollidercomponent.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/irenderingdevice.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "scenes/scenes.hpp"
#include "text/screenspacetextcomponent.hpp"
#include "utils/optional.hpp"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <random>

using namespace Vorn;
using namespace VornSamples::Physics2DSceneLayout;

namespace VornSamples
{
	namespace
	{
		constexpr float WALL_THICKNESS = 0.6f;
		// Half the depth of every slab drawn for a body or a wall: the bodies live on the plane z = 0.
		constexpr float SLAB_HALF_DEPTH = 0.3f;
		constexpr float POUR_HEIGHT = WALL_TOP + 1.5f;
		constexpr float POUR_RATE = 30.0f; // bodies per second
		// A body that got over a wall and fell this far is poured again, so the bound holds bodies one can see.
		constexpr float LOST_BELOW = FLOOR_TOP - 10.0f;
		// A dropped body starts moving: a lifted body may have been asleep, and Box2D leaves a teleported sleeper
		// hanging where it was put.
		constexpr float DROP_SPEED = 1.0f;
		// Velocity arrows show where a body would be this many seconds later; slower bodies get none.
		constexpr float ARROW_SECONDS = 0.25f;
		constexpr float ARROW_MIN_SPEED = 0.05f;

		const Material WALL_MATERIAL(Color(0.0f, 0.0f, 0.0f), Color(0.55f, 0.57f, 0.6f), 0.7f, 0.0f, 0.5f);
		const Material BOX_MATERIAL(Color(0.0f, 0.0f, 0.0f), Color(1.0f, 0.3f, 0.05f), 0.5f, 0.0f, 0.5f);
		const Material CIRCLE_MATERIAL(Color(0.0f, 0.0f, 0.0f), Color(0.05f, 0.3f, 1.0f), 0.35f, 0.0f, 0.5f);
		const Color ARROW_COLOR(1.0f, 0.9f, 0.2f);

		class Physics2DScene : public Scene
		{
		public:
			const char* GetName() const override { return "2D physics"; }
			Dynarray<String> GetControls() const override
			{
				return {String("Left click: drop a body at the cursor"),
				        String("Space: pour ") + String::From(POURED_BY_SPACE) + " more from above",
				        String("F10: velocity arrows")};
			}

			void Build(SceneContext& context) override
			{
				// Straight at the plane z = 0, so the container fills the middle of the screen under the text.
				context.GetCamera()->GetTransform().SetGlobalTranslation(Vector(0.0f, 0.5f, 13.0f));

				Entity* light = context.Spawn();
				DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(context.GetWorld(), light,
				                                                                     Color::WHITE, 3.0f);
				light->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(25.0f)) *
				                                        Quaternion(Vector::UNIT_X, Angle::FromDegrees(-45.0f)));

				const float wallHeight = WALL_TOP - FLOOR_TOP + WALL_THICKNESS;
				const float wallCentreY = FLOOR_TOP - WALL_THICKNESS + wallHeight * 0.5f;
				const float floorWidth = INNER_RIGHT - INNER_LEFT + 2.0f * WALL_THICKNESS;
				SpawnWall(context, Vector((INNER_LEFT + INNER_RIGHT) * 0.5f, FLOOR_TOP - WALL_THICKNESS * 0.5f, 0.0f),
				          floorWidth, WALL_THICKNESS);
				SpawnWall(context, Vector(INNER_LEFT - WALL_THICKNESS * 0.5f, wallCentreY, 0.0f), WALL_THICKNESS,
				          wallHeight);
				SpawnWall(context, Vector(INNER_RIGHT + WALL_THICKNESS * 0.5f, wallCentreY, 0.0f), WALL_THICKNESS,
				          wallHeight);

				// The same pour every time the scene is shown.
				Random.seed(RANDOM_SEED);
				PendingPour = POURED_AT_START;
				PourClock = 0.0f;
				CounterLine = SafePtr<Entity>(
				    context.AddTextLine(context.GetFirstFreeTextRow(), String(), Color(0.7f, 1.0f, 0.7f))->GetOwner());
				ShownBodyCount = -1;
				ShownContactCount = -1;
			}

			void Update(SceneContext& context) override
			{
				const InputWorldComponent& input = context.GetInput();
				if (input.IsClicked(eKey::SPACE))
					PendingPour += POURED_BY_SPACE;
				if (input.IsClicked(eMouseButton::LEFT))
					if (const Optional<Vector> cursor = GetCursorOnPlane(context, input); cursor.HasValue())
						Drop(context, ClampIntoContainer(cursor.Value()));
				Pour(context);

				World* world = context.GetWorld();
				for (const SafePtr<Entity>& entity : Bodies)
				{
					Entity* body = entity.Get();
					if (!body)
						continue;
					const Vector position = body->GetTransform().GetGlobalTranslation();
					if (position.y < LOST_BELOW)
						Place(body, GetPourPosition());
					const Vector velocity = body->GetComponent<RigidBody2DComponent>()->GetLinearVelocity();
					if (velocity.LengthSquared() > ARROW_MIN_SPEED * ARROW_MIN_SPEED)
						DebugDrawSystem::DrawArrow(world, position, velocity * ARROW_SECONDS, ARROW_COLOR);
				}
				ShowCounter(world);
			}

			void Teardown(SceneContext&) override
			{
				Walls.Clear();
				Bodies.Clear();
				NextLifted = 0;
				PendingPour = 0;
				CounterLine = SafePtr<Entity>();
			}

		private:
			static constexpr unsigned RANDOM_SEED = 2018;

			void SpawnWall(SceneContext& context, const Vector& centre, float width, float height)
			{
				Entity* wall = context.SpawnMesh("Models/Cube.obj", centre,
				                                 Vector(width * 0.5f, height * 0.5f, SLAB_HALF_DEPTH), WALL_MATERIAL);
				World* world = context.GetWorld();
				DeferredTaskSystem::AddComponentImmediate<RigidBody2DComponent>(world, wall, world,
				                                                                eRigidBody2DType::STATIC, 0.0f, 0.5f);
				DeferredTaskSystem::AddComponentImmediate<Box2DColliderComponent>(world, wall,
				                                                                  Vector(width, height, 0.0f));
				Walls.PushBack(SafePtr<Entity>(wall));
			}

			// Pours the bodies still due, at the pour rate, from random points above the container.
			void Pour(SceneContext& context)
			{
				if (PendingPour <= 0)
				{
					PourClock = 0.0f;
					return;
				}
				PourClock += context.GetDeltaSeconds() * POUR_RATE;
				while (PendingPour > 0 && PourClock >= 1.0f)
				{
					PourClock -= 1.0f;
					--PendingPour;
					Drop(context, GetPourPosition());
				}
			}

			Vector GetPourPosition()
			{
				std::uniform_real_distribution<float> x(INNER_LEFT + 1.0f, INNER_RIGHT - 1.0f);
				return Vector(x(Random), POUR_HEIGHT, 0.0f);
			}

			// A new body while there is room under the bound, the oldest one lifted to `position` after that.
			void Drop(SceneContext& context, const Vector& position)
			{
				if (Bodies.GetSize() < static_cast<u64>(MAX_BODIES))
				{
					Bodies.PushBack(SafePtr<Entity>(SpawnBody(context, position)));
					return;
				}
				if (Entity* oldest = Bodies[NextLifted].Get())
					Place(oldest, position);
				NextLifted = (NextLifted + 1) % Bodies.GetSize();
			}

			Entity* SpawnBody(SceneContext& context, const Vector& position)
			{
				World* world = context.GetWorld();
				const bool isBox = std::uniform_int_distribution<int>(0, 1)(Random) == 0;
				Entity* body = nullptr;
				if (isBox)
				{
					std::uniform_real_distribution<float> side(0.5f, 0.8f);
					const float width = side(Random);
					const float height = side(Random);
					body = context.SpawnMesh("Models/Cube.obj", position,
					                         Vector(width * 0.5f, height * 0.5f, SLAB_HALF_DEPTH), BOX_MATERIAL);
					DeferredTaskSystem::AddComponentImmediate<Box2DColliderComponent>(world, body,
					                                                                  Vector(width, height, 0.0f));
				}
				else
				{
					const float radius = std::uniform_real_distribution<float>(0.25f, 0.4f)(Random);
					body = context.SpawnMesh("Models/Sphere.obj", position, Vector(radius, radius, SLAB_HALF_DEPTH),
					                         CIRCLE_MATERIAL);
					DeferredTaskSystem::AddComponentImmediate<Circle2DColliderComponent>(world, body, radius);
				}
				RigidBody2DComponent* rigidBody = DeferredTaskSystem::AddComponentImmediate<RigidBody2DComponent>(
				    world, body, world, eRigidBody2DType::DYNAMIC, 1.0f, 0.4f);
				rigidBody->SetLinearVelocity(Vector(0.0f, -DROP_SPEED, 0.0f));
				return body;
			}

			// Teleports a body: the physics phase takes the entity's new place and the velocity given here.
			static void Place(Entity* body, const Vector& position)
			{
				body->GetTransform().SetGlobalTranslation(position);
				body->GetTransform().SetGlobalRotation(Quaternion());
				RigidBody2DComponent* rigidBody = body->GetComponent<RigidBody2DComponent>();
				rigidBody->SetLinearVelocity(Vector(0.0f, -DROP_SPEED, 0.0f));
				rigidBody->SetAngularVelocity(0.0f);
			}

			// Where the ray under the mouse meets the plane z = 0; nothing when the camera looks along the plane.
			static Optional<Vector> GetCursorOnPlane(const SceneContext& context, const InputWorldComponent& input)
			{
				const ScreenSize& size = context.GetEngine()->GetRenderingDevice()->GetScreenSize();
				const CameraComponent* lens = context.GetCamera()->GetComponent<CameraComponent>();
				if (!lens || size.Width <= 0 || size.Height <= 0)
					return {};
				// Mouse pixels count down from the top left corner; clip space counts up from the centre.
				const float clipX =
				    2.0f * static_cast<float>(input.GetMousePos().x) / static_cast<float>(size.Width) - 1.0f;
				const float clipY =
				    1.0f - 2.0f * static_cast<float>(input.GetMousePos().y) / static_cast<float>(size.Height);
				const Matrix worldFromClip = lens->GetClipFromWorld().GetInversed();
				const Vector nearPoint = ToPoint(worldFromClip * Vector(clipX, clipY, -1.0f, 1.0f));
				const Vector farPoint = ToPoint(worldFromClip * Vector(clipX, clipY, 1.0f, 1.0f));
				const float depth = farPoint.z - nearPoint.z;
				if (std::fabs(depth) < 1e-6f || !std::isfinite(depth))
					return {};
				const float along = -nearPoint.z / depth;
				if (along < 0.0f)
					return {};
				return nearPoint + (farPoint - nearPoint) * along;
			}

			static Vector ToPoint(const Vector& homogeneous)
			{
				return Vector(homogeneous.x, homogeneous.y, homogeneous.z) / homogeneous.w;
			}

			// Drops aimed outside the container land just inside it, at most a little above its walls.
			static Vector ClampIntoContainer(const Vector& point)
			{
				constexpr float margin = 0.5f;
				return Vector(std::clamp(point.x, INNER_LEFT + margin, INNER_RIGHT - margin),
				              std::clamp(point.y, FLOOR_TOP + margin, POUR_HEIGHT), 0.0f);
			}

			// Every contact is in the lists of both its bodies, walls included.
			int CountContacts(World* world) const
			{
				const Physics2DWorldComponent& physics = *world->GetWorldComponent<Physics2DWorldComponent>();
				u64 listed = 0;
				for (const Dynarray<SafePtr<Entity>>* group : {&Walls, &Bodies})
					for (const SafePtr<Entity>& entity : *group)
						if (Entity* body = entity.Get())
							listed += physics.GetCollidingBodies(body->GetComponent<RigidBody2DComponent>()).GetSize();
				return static_cast<int>(listed / 2);
			}

			// Rewrites the counter line only when a number changed: a new text is laid out again.
			void ShowCounter(World* world)
			{
				Entity* line = CounterLine.Get();
				if (!line)
					return;
				const int bodyCount = static_cast<int>(Bodies.GetSize());
				const int contactCount = CountContacts(world);
				if (bodyCount == ShownBodyCount && contactCount == ShownContactCount)
					return;
				ShownBodyCount = bodyCount;
				ShownContactCount = contactCount;
				line->GetComponent<ScreenSpaceTextComponent>()->SetText(String("Bodies: ") + String::From(bodyCount) +
				                                                        " of " + String::From(MAX_BODIES) +
				                                                        "   Contacts: " + String::From(contactCount));
			}

			std::mt19937 Random;
			Dynarray<SafePtr<Entity>> Walls;
			Dynarray<SafePtr<Entity>> Bodies; // in the order they were made
			u64 NextLifted = 0;               // the oldest body, once the bound is reached
			int PendingPour = 0;
			float PourClock = 0.0f; // bodies due, in fractions of one
			SafePtr<Entity> CounterLine;
			int ShownBodyCount = -1;
			int ShownContactCount = -1;
		};
	} // namespace

	std::unique_ptr<Scene> CreatePhysics2DScene() { return std::make_unique<Physics2DScene>(); }
} // namespace VornSamples
