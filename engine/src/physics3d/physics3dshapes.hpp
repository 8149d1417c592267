#pragma once

#include "defines.hpp"
#include "math/vector.hpp"
#include "memory/baseobject.hpp"
#include "resources/meshresource.hpp"

#include <memory>

namespace Vorn
{
	// The Bullet records behind shapes and mesh sources; defined in physics3dimpl.hpp, which only engine sources
	// include.
	struct Physics3DShapeImpl;
	struct Physics3DStaticMeshSourceImpl;

	enum class ePhysics3DShape : u32
	{
		MESH = 0,
		PLANE = 1,
		BOX = 2,
		SPHERE = 3,
		CAPSULE = 4,
		_COUNT
	};

	// The collision geometry of a collider. Copies (and colliders given a shape through SetShape) share one Bullet
	// shape, which goes with the last of them.
	class Physics3DShape : public BaseObject
	{
	public:
		explicit Physics3DShape(ePhysics3DShape type);
		Physics3DShape(const Physics3DShape& other);
		Physics3DShape& operator=(const Physics3DShape& other);
		~Physics3DShape() override;

		ePhysics3DShape GetShapeType() const { return ShapeType; }

		// For the engine's own physics code.
		Physics3DShapeImpl& GetImplData() const { return *ImplData; }

	protected:
		ePhysics3DShape ShapeType;
		std::unique_ptr<Physics3DShapeImpl> ImplData;
	};

	class Physics3DBoxShape : public Physics3DShape
	{
	public:
		explicit Physics3DBoxShape(const Vector& halfExtents);
		const Vector& GetHalfExtents() const { return HalfExtents; }

	private:
		Vector HalfExtents;
	};

	class Physics3DSphereShape : public Physics3DShape
	{
	public:
		explicit Physics3DSphereShape(float radius);
		float GetRadius() const { return Radius; }

	private:
		float Radius;
	};

	// Along Y: a cylinder `height` long with a hemisphere of `radius` at each end.
	class Physics3DCapsuleShape : public Physics3DShape
	{
	public:
		Physics3DCapsuleShape(float radius, float height);
		float GetRadius() const { return Radius; }
		float GetHeight() const { return Height; }

	private:
		float Radius;
		float Height;
	};

	// The plane of points p with dot(normalised normal, p) = constant.
	class Physics3DPlaneShape : public Physics3DShape
	{
	public:
		Physics3DPlaneShape(const Vector& normal, float constant);
		const Vector& GetNormal() const { return Normal; }
		float GetConstant() const { return Constant; }

	private:
		Vector Normal;
		float Constant;
	};

	// Triangles gathered from mesh resources or one by one, for static mesh shapes. Shapes built from a source keep
	// its triangles alive, so the source may go first.
	class Physics3DStaticMeshSource : public BaseObject
	{
	public:
		Physics3DStaticMeshSource();
		~Physics3DStaticMeshSource() override;
		Physics3DStaticMeshSource(const Physics3DStaticMeshSource&) = delete;
		Physics3DStaticMeshSource& operator=(const Physics3DStaticMeshSource&) = delete;

		void AddTriangle(const Vector& a, const Vector& b, const Vector& c);
		// Every triangle of the sub-mesh's index list. Incomplete triangles or indices beyond the positions are
		// skipped with one WARNING for the sub-mesh.
		void LoadMesh(const MeshResource::SubMesh& subMesh);
		// Every sub-mesh of the model at `path`, loaded through the mesh registry and released again.
		void LoadMesh(const String& path, eResourceSource source);

		// For the engine's own physics code.
		Physics3DStaticMeshSourceImpl& GetImplData() const { return *ImplData; }

	private:
		// `description` names the sub-mesh in the warning about malformed triangles.
		void LoadSubMesh(const MeshResource::SubMesh& subMesh, const String& description);

		std::unique_ptr<Physics3DStaticMeshSourceImpl> ImplData;
	};

	// A static (never moving) triangle mesh.
	class Physics3DStaticMeshShape : public Physics3DShape
	{
	public:
		explicit Physics3DStaticMeshShape(const Physics3DStaticMeshSource& source);
	};
} // namespace Vorn
