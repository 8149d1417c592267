#include "debugdrawing/debugdrawsystem.hpp"

#include "configs/debugconfig.hpp"
#include "debugdrawing/debugdrawablecomponent.hpp"
#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "math/angle.hpp"
#include "math/quaternion.hpp"
#include "movement/movementsystem.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "resources/meshresource.hpp"
#include "text/screenspacetextcomponent.hpp"
#include "utils/check.hpp"

#include <algorithm>

namespace Vorn
{
	namespace
	{
		DebugDrawStateWorldComponent* GetState(World* world)
		{
			DebugDrawStateWorldComponent* state = world->GetWorldComponent<DebugDrawStateWorldComponent>();
			VORN_CHECK(state != nullptr, "DebugDrawStateWorldComponent is missing!");
			return state;
		}

		bool IsAnyCameraInDebugMode(World* world)
		{
			const ViewportWorldComponent* viewports = world->GetWorldComponent<ViewportWorldComponent>();
			if (!viewports)
				return false;
			for (const auto& [id, viewport] : viewports->GetViewports())
			{
				const CameraComponent* camera = viewport.GetCamera();
				if (camera && camera->GetRenderingMode() == eRenderingModeType::DEBUG_DRAW)
					return true;
			}
			return false;
		}

		bool IsEnabled(const DebugDrawableComponent* drawable)
		{
			return gDebugConfig.GetDebugDrawPresets().IsSet(drawable->Presets);
		}

		Vector3f ToVector3f(const Vector& vector) { return Vector3f(vector.x, vector.y, vector.z); }

		void ShowText(ScreenSpaceTextComponent* component, const DebugDrawStateWorldComponent::DebugText& text)
		{
			Text2D& shown = component->GetText();
			shown.SetText(text.Text);
			shown.SetFontSize(text.FontSize);
			shown.SetFontColor(text.FontColor);
			component->SetScreenPosition(text.Position);
		}

		bool IsBlank(const ScreenSpaceTextComponent* component)
		{
			const Text2D& text = component->GetText();
			return text.GetText().IsEmpty() && text.GetFontSize() == 0 && text.GetFontColor() == Color::WHITE &&
			       component->GetScreenPosition().x == 0 && component->GetScreenPosition().y == 0;
		}

		void Blank(ScreenSpaceTextComponent* component)
		{
			ShowText(component, {String(), Vector2i(0, 0), 0, Color::WHITE});
		}

		// The pool's next entry at or after `index` whose entity still exists; entries of vanished entities go.
		ScreenSpaceTextComponent* NextPoolText(DebugDrawStateWorldComponent* state, u64 index)
		{
			while (index < state->DebugTextsEntities.GetSize())
			{
				if (Entity* entity = state->DebugTextsEntities[index].Get())
					return entity->GetComponent<ScreenSpaceTextComponent>();
				state->DebugTextsEntities.RemoveByIdx(index);
			}
			return nullptr;
		}

		ScreenSpaceTextComponent* SpawnPoolText(World* world, DebugDrawStateWorldComponent* state)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			auto* component = DeferredTaskSystem::AddComponentImmediate<ScreenSpaceTextComponent>(
			    world, entity, Vector2i(0, 0), DebugDrawSystem::DEBUG_FONT_PATH, eResourceSource::ENGINE, 0, String(),
			    Color::WHITE);
			state->DebugTextsEntities.PushBack(SafePtr<Entity>(entity));
			return component;
		}

		// Shows the collected texts on the pool's entities, blanks the rest of the pool and empties the list.
		void ShowCollectedTexts(World* world, DebugDrawStateWorldComponent* state)
		{
			u64 used = 0;
			for (const DebugDrawStateWorldComponent::DebugText& text : state->DebugTexts)
			{
				ScreenSpaceTextComponent* component = NextPoolText(state, used);
				if (!component)
					component = SpawnPoolText(world, state);
				ShowText(component, text);
				++used;
			}
			for (ScreenSpaceTextComponent* component = NextPoolText(state, used); component;
			     component = NextPoolText(state, ++used))
				Blank(component);
			state->DebugTexts.Clear();
		}

		// Leaving debug mode must not leave the last debug texts on the screen.
		void BlankPool(DebugDrawStateWorldComponent* state)
		{
			u64 index = 0;
			for (ScreenSpaceTextComponent* component = NextPoolText(state, index); component;
			     component = NextPoolText(state, ++index))
			{
				if (!IsBlank(component))
					Blank(component);
			}
		}

		void DrawMeshBounds(World* world)
		{
			for (auto [mesh, drawable] : world->IterateComponents<MeshRenderingComponent, DebugDrawableComponent>())
			{
				if (!IsEnabled(drawable) || !mesh->GetMesh())
					continue;
				const Matrix& worldFromModel = mesh->GetTransform().GetWorldFromModel();
				for (const auto& subMesh : mesh->GetMesh()->GetSubMeshes())
				{
					const Dynarray<Vector3f>& positions = subMesh->GetMeshData().GetPositions();
					VORN_CHECK(!positions.IsEmpty(), "SubMesh vertex data is empty.");
					Vector3f minimum = positions[0];
					Vector3f maximum = positions[0];
					for (const Vector3f& position : positions)
					{
						minimum = Vector3f(std::min(minimum.x, position.x), std::min(minimum.y, position.y),
						                   std::min(minimum.z, position.z));
						maximum = Vector3f(std::max(maximum.x, position.x), std::max(maximum.y, position.y),
						                   std::max(maximum.z, position.z));
					}
					const Vector margin(0.04f, 0.04f, 0.04f, 0.0f);
					const Vector mins = worldFromModel * Vector(minimum.x, minimum.y, minimum.z, 1.0f) - margin;
					const Vector maxs = worldFromModel * Vector(maximum.x, maximum.y, maximum.z, 1.0f) + margin;
					DebugDrawSystem::DrawBox(world, mins, maxs, Color::GREEN);
				}
			}
		}

		void DrawBodyVelocities(World* world)
		{
			for (auto [body, drawable] : world->IterateComponents<RigidBody2DComponent, DebugDrawableComponent>())
			{
				if (!IsEnabled(drawable))
					continue;
				const Vector velocity = body->GetLinearVelocity();
				if (velocity.x == 0.0f && velocity.y == 0.0f && velocity.z == 0.0f)
					continue;
				DebugDrawSystem::DrawArrow(world, body->GetTransform().GetLocalTranslation(), velocity, Color::RED);
			}
		}

		void DrawDirectionalLights(World* world)
		{
			for (auto [light, drawable] : world->IterateComponents<DirectionalLightComponent, DebugDrawableComponent>())
			{
				if (!IsEnabled(drawable))
					continue;
				const Vector direction =
				    MovementSystem::GetGlobalForward(light->GetTransform()) * (light->GetIntensity() * 2.0f);
				DebugDrawSystem::DrawArrow(world, light->GetTransform().GetLocalTranslation(), direction, Color::WHITE);
			}
		}
	} // namespace

	void DebugDrawSystem::DrawLine(World* world, const Vector& start, const Vector& end, const Color& color)
	{
		if (!gDebugConfig.IsDebugRenderingActive())
			return;
		DebugDrawStateWorldComponent* state = GetState(world);
		state->DebugLines.PushBack({ToVector3f(start), ToVector3f(end)});
		state->DebugLinesColors.PushBack({color, color});
	}

	void DebugDrawSystem::DrawBox(World* world, const Vector& mins, const Vector& maxs, const Color& color)
	{
		if (!gDebugConfig.IsDebugRenderingActive())
			return;
		const Vector corners[8] = {
		    Vector(mins.x, mins.y, mins.z), Vector(maxs.x, mins.y, mins.z), Vector(maxs.x, maxs.y, mins.z),
		    Vector(mins.x, maxs.y, mins.z), Vector(mins.x, mins.y, maxs.z), Vector(maxs.x, mins.y, maxs.z),
		    Vector(maxs.x, maxs.y, maxs.z), Vector(mins.x, maxs.y, maxs.z),
		};
		constexpr int edges[12][2] = {{0, 4}, {0, 1}, {5, 4}, {5, 1}, {3, 7}, {3, 2},
		                              {6, 7}, {6, 2}, {0, 3}, {1, 2}, {4, 7}, {5, 6}};
		for (const auto& edge : edges)
			DrawLine(world, corners[edge[0]], corners[edge[1]], color);
	}

	void DebugDrawSystem::DrawCircle(World* world, const Vector& center, float radius, Vector normal,
	                                 const Color& color)
	{
		if (!gDebugConfig.IsDebugRenderingActive())
			return;
		normal.Normalize();
		// A vector perpendicular to the normal without a branch on its direction.
		const float sign = normal.z >= 0.0f ? 1.0f : -1.0f;
		const float a = -1.0f / (sign + normal.z);
		const Vector perpendicular(1.0f + sign * normal.x * normal.x * a, sign * normal.x * normal.y * a,
		                           -sign * normal.x);
		Vector point = perpendicular * radius;

		constexpr int STEP_DEGREES = 15;
		const Quaternion step(normal, Angle::FromDegrees(static_cast<float>(STEP_DEGREES)));
		for (int angle = 0; angle < 360; angle += STEP_DEGREES)
		{
			const Vector next = step * point;
			DrawLine(world, center + point, center + next, color);
			point = next;
		}
		DrawArrow(world, center, point, color);
	}

	void DebugDrawSystem::DrawSphere(World* world, const Vector& center, float radius, const Color& color)
	{
		if (!gDebugConfig.IsDebugRenderingActive())
			return;
		DrawCircle(world, center, radius, Vector::UNIT_X, color);
		DrawCircle(world, center, radius, Vector::UNIT_Y, color);
		DrawCircle(world, center, radius, Vector::UNIT_Z, color);
	}

	void DebugDrawSystem::DrawArrow(World* world, Vector start, Vector direction, const Color& color)
	{
		if (!gDebugConfig.IsDebugRenderingActive())
			return;
		const Vector shaftEnd = start + direction * 0.5f;
		DrawLine(world, start, shaftEnd, color);

		direction.Normalize();
		constexpr int STEP_DEGREES = 24;
		const Quaternion step(direction, Angle::FromDegrees(static_cast<float>(STEP_DEGREES)));
		// The head's side vector comes from the start point; the origin would give none.
		if (start.x == 0.0f && start.y == 0.0f && start.z == 0.0f)
			start = Vector(0.01f, 0.01f, 0.01f);
		Vector side = start.Cross(direction).GetNormalized() * 0.5f;
		const Vector tip = shaftEnd + direction * 0.5f;
		for (int angle = 0; angle < 360; angle += STEP_DEGREES)
		{
			DrawLine(world, shaftEnd, shaftEnd + side, color);
			DrawLine(world, shaftEnd + side, tip, color);
			side = step * side;
		}
	}

	void DebugDrawSystem::DrawText2D(World* world, const Vector2i& screenPosition, String text, std::size_t fontSize,
	                                 const Color& color)
	{
		if (!gDebugConfig.IsDebugRenderingActive())
			return;
		GetState(world)->DebugTexts.PushBack({std::move(text), screenPosition, fontSize, color});
	}

	void DebugDrawSystem::DebugRenderingUpdatePhase(World* world)
	{
		DebugDrawStateWorldComponent* state = GetState(world);
		const bool isActive = IsAnyCameraInDebugMode(world);
		gDebugConfig.SetDebugRenderingActive(isActive);
		if (!isActive)
		{
			state->Clear();
			BlankPool(state);
			return;
		}

		ShowCollectedTexts(world, state);
		DrawMeshBounds(world);
		DrawBodyVelocities(world);
		DrawDirectionalLights(world);
	}
} // namespace Vorn
