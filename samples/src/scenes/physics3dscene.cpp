#include "scenes/physics3dscene.hpp"

#include "debugdrawing/debugdrawsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "memory/safeptr.hpp"
#include "movement/freefloatmovementcomponent.hpp"
#include "movement/movementsystem.hpp"
#include "physics3d/collider3dcomponent.hpp"
#include "physics3d/physics3dshapes.hpp"
#include "physics3d/physics3dsystem.hpp"
#include "physics3d/rigidbody3dcomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/meshresource.hpp"
#include "scenes/scenes.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <cstddef>
#include <memory>

using namespace Vorn;
using namespace VornSamples::Physics3DSceneLayout;

namespace VornSamples
{
	namespace
	{
		// Bodies collide with bodies and are seen by the trigger; the trigger sees bodies only, so neither the ground
		// nor the push ray (which looks for bodies) ever meets it.
		const EnumFlags<eCollisionGroup> BODIES = EnumFlags<eCollisionGroup>::FromMask(1);
		const EnumFlags<eCollisionGroup> TRIGGERS = EnumFlags<eCollisionGroup>::FromMask(2);

		constexpr float GROUND_HALF_SIZE = 60.0f;
		constexpr float SPHERE_RADIUS = 0.5f;
		constexpr float BALL_RADIUS = 0.4f;
		constexpr float BALL_MASS = 6.0f;
		constexpr float BALL_SPEED = 30.0f;
		// Shot balls start this far in front of the camera, clear of its near plane.
		constexpr float MUZZLE_DISTANCE = 1.0f;
		constexpr float RAY_LENGTH = 100.0f;
		constexpr float PUSH_IMPULSE = 12.0f;
		// The pad drawn for the trigger is this thin; the volume above it is the trigger's own box.
		constexpr float PAD_HALF_HEIGHT = 0.03f;
		// The reticle marks the screen centre, where the push ray goes.
		constexpr float RETICLE_DISTANCE = 3.0f;
		constexpr float RETICLE_RADIUS = 0.02f;

		const Vector SPHERE_POSITIONS[] = {Vector(-4.0f, SPHERE_RADIUS, 1.0f), Vector(4.0f, SPHERE_RADIUS, 5.0f),
		                                   Vector(-3.0f, SPHERE_RADIUS, -4.0f), Vector(3.5f, SPHERE_RADIUS, -3.5f)};

		const Color BLACK(0.0f, 0.0f, 0.0f);
		const Material GROUND_MATERIAL(BLACK, Color(0.18f, 0.2f, 0.22f), 0.9f, 0.0f, 0.5f);
		// Neighbouring boxes differ, so the pyramid shows its boxes rather than one block.
		const Material BOX_MATERIALS[] = {Material(BLACK, Color(0.9f, 0.35f, 0.1f), 0.6f, 0.0f, 0.5f),
		                                  Material(BLACK, Color(0.95f, 0.7f, 0.2f), 0.6f, 0.0f, 0.5f)};
		const Material SPHERE_MATERIAL(BLACK, Color(0.1f, 0.3f, 1.0f), 0.3f, 0.0f, 0.5f);
		const Material BALL_MATERIAL(BLACK, Color(0.95f, 0.85f, 0.2f), 0.25f, 0.8f, 0.5f);
		const Material RETICLE_MATERIAL(Color(4.0f, 4.0f, 4.0f), Color::WHITE, 1.0f, 0.0f, 0.5f);
		const Color RAY_COLOR(1.0f, 0.9f, 0.2f);
		constexpr float HIT_MARK_RADIUS = 0.15f;

		Material GetTriggerMaterial(bool isOccupied)
		{
			const Color& color = isOccupied ? TRIGGER_OCCUPIED_COLOR : TRIGGER_EMPTY_COLOR;
			// A little glow of its own, so the pad reads as a signal rather than as floor.
			return Material(color * 0.4f, color, 0.5f, 0.0f, 0.5f);
		}

		// Rolling friction stops balls rolling on for ever; on flat faces it only creeps a resting stack apart, so
		// boxes and the ground go without (Bullet mixes each side's rolling friction with the other's friction).
		Rigidbody3DComponentTemplate MakeBody(float mass, float restitution, float friction, float rollingFriction)
		{
			Rigidbody3DComponentTemplate body;
			body.Mass = mass;
			body.Restitution = restitution;
			body.Friction = friction;
			body.RollingFriction = rollingFriction;
			return body;
		}

		Collider3DComponentTemplate MakeCollider(std::unique_ptr<Physics3DShape> shape,
		                                         EnumFlags<eCollisionGroup> group, EnumFlags<eCollisionGroup> mask)
		{
			Collider3DComponentTemplate collider;
			collider.Shape = std::move(shape);
			collider.CollisionGroup = group;
			collider.CollisionMask = mask;
			return collider;
		}

		void AddBody(World* world, Entity* entity, std::unique_ptr<Physics3DShape> shape,
		             const Rigidbody3DComponentTemplate& body, EnumFlags<eCollisionGroup> mask)
		{
			DeferredTaskSystem::AddComponentImmediate<Collider3DComponent>(
			    world, entity, world, MakeCollider(std::move(shape), BODIES, mask));
			DeferredTaskSystem::AddComponentImmediate<Rigidbody3DComponent>(world, entity, world, body);
		}

		class Physics3DScene : public Scene
		{
		public:
			const char* GetName() const override { return "3D physics"; }
			Dynarray<String> GetControls() const override
			{
				return {String("Space: shoot a ball   Left click: push what the centre dot is on"),
				        String("W/A/S/D/Q/E: fly   Left drag: look around"),
				        String("F10: the push ray and the trigger's volume")};
			}

			void Build(SceneContext& context) override
			{
				World* world = context.GetWorld();
				Entity* camera = context.GetCamera();
				camera->GetTransform().SetGlobalTranslation(CAMERA_START);
				camera->GetTransform().SetGlobalRotation(
				    Quaternion(Vector::UNIT_X, Angle::FromDegrees(CAMERA_PITCH_DEGREES)));
				DeferredTaskSystem::AddComponentImmediate<FreeFloatMovementComponent>(world, camera, 6.0f, 0.004f,
				                                                                      0.5f);

				Entity* light = context.Spawn();
				DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(world, light, Color::WHITE, 2.0f);
				light->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-30.0f)) *
				                                        Quaternion(Vector::UNIT_X, Angle::FromDegrees(-50.0f)));

				Entity* ground = context.SpawnMesh("Models/Plane.obj", Vector(0.0f, 0.0f, 0.0f),
				                                   Vector(GROUND_HALF_SIZE, 1.0f, GROUND_HALF_SIZE), GROUND_MATERIAL);
				Rigidbody3DComponentTemplate groundBody = MakeBody(0.0f, 0.0f, 0.8f, 0.0f);
				groundBody.BodyType = eRigidBody3DType::STATIC;
				AddBody(world, ground, std::make_unique<Physics3DPlaneShape>(Vector::UNIT_Y, 0.0f), groundBody, BODIES);

				BuildPyramid(context);
				for (const Vector& position : SPHERE_POSITIONS)
				{
					Entity* sphere =
					    context.SpawnMesh("Models/Sphere.obj", position,
					                      Vector(SPHERE_RADIUS, SPHERE_RADIUS, SPHERE_RADIUS), SPHERE_MATERIAL);
					AddBody(world, sphere, std::make_unique<Physics3DSphereShape>(SPHERE_RADIUS),
					        MakeBody(1.0f, 0.3f, 0.6f, 0.3f), BODIES | TRIGGERS);
				}

				Entity* trigger = context.SpawnMesh(
				    "Models/Cube.obj", TRIGGER_CENTRE,
				    Vector(TRIGGER_HALF_EXTENTS.x, PAD_HALF_HEIGHT, TRIGGER_HALF_EXTENTS.z), GetTriggerMaterial(false));
				// A collider without a rigid body: it moves nothing and only reports what overlaps it.
				DeferredTaskSystem::AddComponentImmediate<Collider3DComponent>(
				    world, trigger, world,
				    MakeCollider(std::make_unique<Physics3DBoxShape>(TRIGGER_HALF_EXTENTS), TRIGGERS, BODIES));
				Trigger = SafePtr<Entity>(trigger);
				IsTriggerOccupied = false;

				Reticle = SafePtr<Entity>(context.SpawnMesh("Models/Sphere.obj", Vector(0.0f, 0.0f, 0.0f),
				                                            Vector(RETICLE_RADIUS, RETICLE_RADIUS, RETICLE_RADIUS),
				                                            RETICLE_MATERIAL));
				StatusLine = SafePtr<Entity>(
				    context.AddTextLine(context.GetFirstFreeTextRow(), String(), Color(0.7f, 1.0f, 0.7f))->GetOwner());
				ShownOccupants = -1;
				ShownBalls = -1;
			}

			void Update(SceneContext& context) override
			{
				World* world = context.GetWorld();
				const EntityTransform& view = context.GetCamera()->GetTransform();
				const Vector eye = view.GetGlobalTranslation();
				const Vector forward = MovementSystem::GetGlobalForward(view);
				// The camera moved already this frame (movement runs before the game), so the dot sits true.
				if (Entity* reticle = Reticle.Get())
					reticle->GetTransform().SetGlobalTranslation(eye + forward * RETICLE_DISTANCE);

				const InputWorldComponent& input = context.GetInput();
				if (input.IsClicked(eKey::SPACE))
					Shoot(context, eye, forward);
				if (input.IsClicked(eMouseButton::LEFT))
					Push(world, eye, forward);

				const int occupants = CountTriggerOccupants(world);
				if (Entity* trigger = Trigger.Get())
				{
					if ((occupants > 0) != IsTriggerOccupied)
					{
						IsTriggerOccupied = occupants > 0;
						SceneContext::SetMaterial(trigger, GetTriggerMaterial(IsTriggerOccupied));
					}
					DebugDrawSystem::DrawBox(world, TRIGGER_CENTRE - TRIGGER_HALF_EXTENTS,
					                         TRIGGER_CENTRE + TRIGGER_HALF_EXTENTS,
					                         IsTriggerOccupied ? TRIGGER_OCCUPIED_COLOR : TRIGGER_EMPTY_COLOR);
				}
				// Seen from where it was cast the ray is a point; the small sphere marks where it ended.
				if (HasPushRay)
				{
					DebugDrawSystem::DrawLine(world, PushRayStart, PushRayEnd, RAY_COLOR);
					DebugDrawSystem::DrawSphere(world, PushRayEnd, HIT_MARK_RADIUS, RAY_COLOR);
				}
				ShowStatus(occupants);
			}

			void Teardown(SceneContext&) override
			{
				Balls.Clear();
				NextBall = 0;
				Trigger = SafePtr<Entity>();
				Reticle = SafePtr<Entity>();
				StatusLine = SafePtr<Entity>();
				HasPushRay = false;
			}

		private:
			static void BuildPyramid(SceneContext& context)
			{
				World* world = context.GetWorld();
				const Vector halfExtents(BOX_SIZE * 0.5f, BOX_SIZE * 0.5f, BOX_SIZE * 0.5f);
				for (int layer = 0; layer < PYRAMID_LAYERS; ++layer)
				{
					const int side = PYRAMID_LAYERS - layer;
					const float first = -0.5f * static_cast<float>(side - 1) * BOX_SIZE;
					for (int row = 0; row < side; ++row)
						for (int column = 0; column < side; ++column)
						{
							// Boxes touch exactly, so nothing settles or jumps when the simulation starts.
							const Vector position(first + static_cast<float>(column) * BOX_SIZE,
							                      (static_cast<float>(layer) + 0.5f) * BOX_SIZE,
							                      first + static_cast<float>(row) * BOX_SIZE);
							Entity* box = context.SpawnMesh("Models/Cube.obj", position, halfExtents,
							                                BOX_MATERIALS[(layer + row + column) % 2]);
							// No bounce: a stack of bouncy boxes never quite comes to rest.
							AddBody(world, box, std::make_unique<Physics3DBoxShape>(halfExtents),
							        MakeBody(1.0f, 0.0f, 0.8f, 0.0f), BODIES | TRIGGERS);
						}
				}
			}

			// A new ball while there is room under the bound, the oldest one fired again after that.
			void Shoot(SceneContext& context, const Vector& eye, const Vector& forward)
			{
				const Vector muzzle = eye + forward * MUZZLE_DISTANCE;
				const Vector velocity = forward * BALL_SPEED;
				if (Balls.GetSize() < static_cast<u64>(MAX_BALLS))
				{
					Entity* ball = context.SpawnMesh("Models/Sphere.obj", muzzle,
					                                 Vector(BALL_RADIUS, BALL_RADIUS, BALL_RADIUS), BALL_MATERIAL);
					Rigidbody3DComponentTemplate body = MakeBody(BALL_MASS, 0.3f, 0.6f, 0.3f);
					body.LinearVelocity = velocity;
					AddBody(context.GetWorld(), ball, std::make_unique<Physics3DSphereShape>(BALL_RADIUS), body,
					        BODIES | TRIGGERS);
					Balls.PushBack(SafePtr<Entity>(ball));
					return;
				}
				if (Entity* ball = Balls[NextBall].Get())
				{
					// The physics phase teleports the body to its entity and then imposes the new velocities.
					ball->GetTransform().SetGlobalTranslation(muzzle);
					Rigidbody3DComponent* body = ball->GetComponent<Rigidbody3DComponent>();
					body->SetLinearVelocity(velocity);
					body->SetAngularVelocity(Vector(0.0f, 0.0f, 0.0f));
				}
				NextBall = (NextBall + 1) % Balls.GetSize();
			}

			// Pushes the body under the screen centre where the ray meets it, so an off-centre hit also turns it.
			void Push(World* world, const Vector& eye, const Vector& forward)
			{
				const Vector end = eye + forward * RAY_LENGTH;
				const RaycastResult result = Physics3DSystem::ClosestHitRaycast(world, eye, end, BODIES, BODIES);
				HasPushRay = true;
				PushRayStart = eye;
				PushRayEnd = end;
				if (result.Hits.IsEmpty())
					return;
				const RaycastResult::Hit& hit = result.Hits[0];
				PushRayEnd = hit.WorldHitPoint;
				Rigidbody3DComponent* body = hit.HitEntity->GetComponent<Rigidbody3DComponent>();
				if (!body || body->GetBodyType() != eRigidBody3DType::DYNAMIC)
					return;
				body->ApplyImpulse(forward * PUSH_IMPULSE,
				                   hit.WorldHitPoint - hit.HitEntity->GetTransform().GetGlobalTranslation());
			}

			// Bodies the trigger touches after the last step. A pair whose bounds merely overlap has no contact
			// points, and a zero normal tells it.
			int CountTriggerOccupants(World* world) const
			{
				const Entity* trigger = Trigger.Get();
				if (!trigger)
					return 0;
				int occupants = 0;
				for (const ContactPairResults::Pair& pair : Physics3DSystem::GetAllContactPairs(world).ContactPairs)
					if ((pair.FirstEntity == trigger || pair.SecondEntity == trigger) &&
					    pair.Normal.LengthSquared() > 0.0f)
						++occupants;
				return occupants;
			}

			// Rewrites the status line only when a number changed: a new text is laid out again.
			void ShowStatus(int occupants)
			{
				Entity* line = StatusLine.Get();
				const int balls = static_cast<int>(Balls.GetSize());
				if (!line || (occupants == ShownOccupants && balls == ShownBalls))
					return;
				ShownOccupants = occupants;
				ShownBalls = balls;
				const String trigger = occupants == 0 ? String("empty") : String::From(occupants) + " inside";
				line->GetComponent<ScreenSpaceTextComponent>()->SetText(String("Balls: ") + String::From(balls) +
				                                                        " of " + String::From(MAX_BALLS) +
				                                                        "   Trigger: " + trigger);
			}

			Dynarray<SafePtr<Entity>> Balls; // in the order they were made
			u64 NextBall = 0;                // the oldest ball, once the bound is reached
			SafePtr<Entity> Trigger;
			bool IsTriggerOccupied = false;
			SafePtr<Entity> Reticle;
			SafePtr<Entity> StatusLine;
			int ShownOccupants = -1;
			int ShownBalls = -1;
			// The last push ray, drawn in F10 until the next push.
			bool HasPushRay = false;
			Vector PushRayStart;
			Vector PushRayEnd;
		};
	} // namespace

	std::unique_ptr<Scene> CreatePhysics3DScene() { return std::make_unique<Physics3DScene>(); }
} // namespace VornSamples
