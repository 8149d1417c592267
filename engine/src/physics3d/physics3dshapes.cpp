#include "physics3d/physics3dshapes.hpp"

#include "physics3d/physics3dimpl.hpp"
#include "utils/console.hpp"

#include <string>

namespace Vorn
{
	Physics3DShape::Physics3DShape(ePhysics3DShape type) : ShapeType(type), ImplData(new Physics3DShapeImpl()) {}

	Physics3DShape::Physics3DShape(const Physics3DShape& other)
	    : BaseObject(), ShapeType(other.ShapeType), ImplData(new Physics3DShapeImpl(*other.ImplData))
	{
	}

	Physics3DShape& Physics3DShape::operator=(const Physics3DShape& other)
	{
		ShapeType = other.ShapeType;
		*ImplData = *other.ImplData;
		return *this;
	}

	Physics3DShape::~Physics3DShape() = default;

	Physics3DBoxShape::Physics3DBoxShape(const Vector& halfExtents)
	    : Physics3DShape(ePhysics3DShape::BOX), HalfExtents(halfExtents)
	{
		ImplData->Shape = std::make_shared<btBoxShape>(ToBullet(halfExtents));
	}

	Physics3DSphereShape::Physics3DSphereShape(float radius) : Physics3DShape(ePhysics3DShape::SPHERE), Radius(radius)
	{
		ImplData->Shape = std::make_shared<btSphereShape>(radius);
	}

	Physics3DCapsuleShape::Physics3DCapsuleShape(float radius, float height)
	    : Physics3DShape(ePhysics3DShape::CAPSULE), Radius(radius), Height(height)
	{
		ImplData->Shape = std::make_shared<btCapsuleShape>(radius, height);
	}

	Physics3DPlaneShape::Physics3DPlaneShape(const Vector& normal, float constant)
	    : Physics3DShape(ePhysics3DShape::PLANE), Normal(normal), Constant(constant)
	{
		ImplData->Shape = std::make_shared<btStaticPlaneShape>(ToBullet(normal).normalized(), constant);
	}

	Physics3DStaticMeshSource::Physics3DStaticMeshSource() : ImplData(new Physics3DStaticMeshSourceImpl())
	{
		// 32-bit indices, four-component vertices.
		ImplData->TriangleMesh = std::make_shared<btTriangleMesh>(true, true);
	}

	Physics3DStaticMeshSource::~Physics3DStaticMeshSource() = default;

	void Physics3DStaticMeshSource::AddTriangle(const Vector& a, const Vector& b, const Vector& c)
	{
		ImplData->TriangleMesh->addTriangle(ToBullet(a), ToBullet(b), ToBullet(c), true);
	}

	void Physics3DStaticMeshSource::LoadMesh(const MeshResource::SubMesh& subMesh)
	{
		LoadSubMesh(subMesh, "a sub-mesh");
	}

	void Physics3DStaticMeshSource::LoadSubMesh(const MeshResource::SubMesh& subMesh, const String& description)
	{
		const Mesh& mesh = subMesh.GetMeshData();
		const Dynarray<Vector3f>& positions = mesh.GetPositions();
		const Dynarray<u32>& indices = mesh.GetIndicies();
		u64 skipped = 0;
		for (u64 first = 0; first < indices.GetSize(); first += 3)
		{
			if (first + 2 >= indices.GetSize() || indices[first] >= positions.GetSize() ||
			    indices[first + 1] >= positions.GetSize() || indices[first + 2] >= positions.GetSize())
			{
				++skipped;
				continue;
			}
			const Vector3f& a = positions[indices[first]];
			const Vector3f& b = positions[indices[first + 1]];
			const Vector3f& c = positions[indices[first + 2]];
			ImplData->TriangleMesh->addTriangle(btVector3(a.x, a.y, a.z), btVector3(b.x, b.y, b.z),
			                                    btVector3(c.x, c.y, c.z), true);
		}
		if (skipped > 0)
			gConsole.LogWarning(
			    "Physics3DStaticMeshSource: skipped {} malformed triangles of {} with {} positions and {} "
			    "indices",
			    skipped, description, positions.GetSize(), indices.GetSize());
	}

	void Physics3DStaticMeshSource::LoadMesh(const String& path, eResourceSource source)
	{
		MeshResource* mesh = ResourceManager<MeshResource>::Load(path, source);
		if (!mesh)
			return;
		for (u64 index = 0; index < mesh->GetSubMeshes().GetSize(); ++index)
			LoadSubMesh(*mesh->GetSubMeshes()[index], "sub-mesh " + String(std::to_string(index)) + " of " + path);
		ResourceManager<MeshResource>::Release(mesh);
	}

	Physics3DStaticMeshShape::Physics3DStaticMeshShape(const Physics3DStaticMeshSource& source)
	    : Physics3DShape(ePhysics3DShape::MESH)
	{
		ImplData->TriangleMesh = source.GetImplData().TriangleMesh;
		// Bullet cannot build its hierarchy over no triangles (a model that did not load, say): such a shape collides
		// with nothing instead.
		if (ImplData->TriangleMesh->getNumTriangles() == 0)
		{
			gConsole.LogWarning("Physics3DStaticMeshShape: the mesh source holds no triangles; the shape collides with "
			                    "nothing");
			ImplData->Shape = std::make_shared<btCompoundShape>();
			return;
		}
		ImplData->Shape = std::make_shared<btBvhTriangleMeshShape>(ImplData->TriangleMesh.get(), true, true);
	}
} // namespace Vorn
