#pragma once

#include "defines.hpp"
#include "ecs/componentbase.hpp"
#include "math/angle.hpp"
#include "math/matrix.hpp"

namespace Vorn
{
	class World;

	namespace CameraSystem
	{
		void CameraUpdatePhase(World* world);
	}

	// How the rendering device draws what a camera sees. F5 to F10 select the modes in this order.
	enum class eRenderingModeType : u32
	{
		LIT,
		UNLIT,
		WIREFRAME,
		DEBUG_NORMALS,
		DEBUG_NORMALS_WIREFRAME,
		DEBUG_DRAW, // also switches debug drawing on
		_COUNT
	};

	// Looks along its entity's transform. The matrices are filled by the camera phase for cameras that are
	// shown in a viewport; the projection only when the camera is new or its viewport's aspect changed.
	class CameraComponent : public ComponentBase
	{
	public:
		CameraComponent(Angle fov, float nearPlane, float farPlane);
		// Orthographic cameras are not supported yet: this stops the process. The extents are in the order
		// of Matrix::SetOrthographic.
		CameraComponent(float bottom, float top, float left, float right, float nearPlane, float farPlane);

		const Matrix& GetClipFromView() const { return ClipFromView; }
		const Matrix& GetViewFromWorld() const { return ViewFromWorld; }
		const Matrix& GetClipFromWorld() const { return ClipFromWorld; }

		bool GetIsPerspective() const { return IsPerspective; }
		Angle GetFOV() const { return FOV; }
		// Takes effect with the next projection rebuild, that is when the viewport's aspect changes.
		void SetFOV(Angle fov) { FOV = fov; }
		// Kept for games; the engine never reads it.
		Angle GetTargetFOV() const { return TargetFOV; }
		void SetTargetFOV(Angle fov) { TargetFOV = fov; }

		float GetClippingPlaneNear() const { return Near; }
		float GetClippingPlaneFar() const { return Far; }
		// Width over height of the viewport the projection was last built for.
		float GetAspect() const { return Aspect; }

		eRenderingModeType GetRenderingMode() const { return RenderingMode; }
		void SetRenderingMode(eRenderingModeType mode) { RenderingMode = mode; }

	private:
		Matrix ClipFromView;
		Matrix ViewFromWorld;
		Matrix ClipFromWorld;
		bool IsPerspective;
		Angle FOV;
		Angle TargetFOV = Angle::FromDegrees(0.0f);
		float OrthoBottom = 0.0f;
		float OrthoTop = 0.0f;
		float OrthoLeft = 0.0f;
		float OrthoRight = 0.0f;
		float Near;
		float Far;
		float Aspect = 1.0f;
		eRenderingModeType RenderingMode = eRenderingModeType::LIT;

		friend void CameraSystem::CameraUpdatePhase(World* world);
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::CameraComponent);
