#include "resources/meshresource.hpp"

#include "engine.hpp"
#include "io/regularfile.hpp"
#include "resources/textureresource.hpp"
#include "utils/console.hpp"

#include <assimp/DefaultIOSystem.h>
#include <assimp/Importer.hpp>
#include <assimp/MemoryIOWrapper.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include <strings.h>
#include <sys/stat.h>

VORN_DEFINE_RESOURCE_REGISTRY(MeshResource, gMeshResourcesMap)

namespace Vorn
{
	namespace
	{
		constexpr unsigned int IMPORT_FLAGS = aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
		                                      aiProcess_Triangulate | aiProcess_GenNormals | aiProcess_SortByPType |
		                                      aiProcess_GenUVCoords;
		static_assert(IMPORT_FLAGS == 0x4802B, "The model import runs exactly these post-processing steps");

		// Sorting by primitive type leaves points and lines in meshes of their own, with faces of one or two
		// indices; they have nothing to draw as triangles.
		bool IsTriangleMesh(const aiMesh* mesh)
		{
			if (mesh->mNumFaces == 0)
				return false;
			for (unsigned int face = 0; face < mesh->mNumFaces; ++face)
			{
				if (mesh->mFaces[face].mNumIndices != 3)
					return false;
			}
			return true;
		}

		bool IsMaterialLibrary(const char* path)
		{
			const std::size_t length = std::strlen(path);
			return length >= 4 && strcasecmp(path + length - 4, ".mtl") == 0;
		}

		// The importer writes every statement of a material library into the current material, and before the first
		// "newmtl" there is none: it crashes on such a file. Those statements belong to no material, so they go.
		void DropStatementsBeforeFirstMaterial(const char* path, std::string& library)
		{
			std::size_t lineStart = 0;
			bool hasStrayStatement = false;
			while (lineStart < library.size())
			{
				std::size_t lineEnd = library.find('\n', lineStart);
				if (lineEnd == std::string::npos)
					lineEnd = library.size();
				const std::size_t first = library.find_first_not_of(" \t\r", lineStart);
				if (first < lineEnd)
				{
					const bool isNewMaterial =
					    library.compare(first, 6, "newmtl") == 0 &&
					    (first + 6 == lineEnd || std::isspace(static_cast<unsigned char>(library[first + 6])));
					if (isNewMaterial)
						break;
					hasStrayStatement = hasStrayStatement || library[first] != '#';
				}
				lineStart = lineEnd + 1;
			}
			if (!hasStrayStatement)
				return;
			gConsole.LogWarning("Material library {} has statements before its first newmtl line; they are ignored",
			                    path);
			library.erase(0, std::min(lineStart, library.size()));
		}

		// Hands the importer only regular files no larger than MAX_MODEL_FILE_BYTES, read in full, so neither the model
		// nor a material library or other file it names can be a pipe that blocks or an endless device.
		class RegularFileIOSystem : public Assimp::DefaultIOSystem
		{
		public:
			bool Exists(const char* path) const override
			{
				struct stat info = {};
				return ::stat(path, &info) == 0 && S_ISREG(info.st_mode);
			}

			Assimp::IOStream* Open(const char* path, const char* mode) override
			{
				// The importer only reads.
				if (mode && (std::strchr(mode, 'w') || std::strchr(mode, 'a') || std::strchr(mode, '+')))
					return nullptr;
				std::string bytes;
				const RegularFileResult file = ReadRegularFile(path, MAX_MODEL_FILE_BYTES, bytes);
				// A missing file is the importer's to report.
				if (file.Status == eRegularFileStatus::MISSING)
					return nullptr;
				if (!file.IsOk())
				{
					gConsole.LogError("Model file refused: {}", file.Problem);
					return nullptr;
				}
				if (IsMaterialLibrary(path))
					DropStatementsBeforeFirstMaterial(path, bytes);
				auto* buffer = new uint8_t[bytes.size()];
				std::memcpy(buffer, bytes.data(), bytes.size());
				return new Assimp::MemoryIOStream(buffer, bytes.size(), true);
			}
		};

		const char* OnOff(bool isOn) { return isOn ? "on" : "off"; }

		Vector3f ToVector3f(const aiVector3D& vector) { return Vector3f(vector.x, vector.y, vector.z); }
	} // namespace

	MeshResource::MeshResource(const String& path)
	{
		Assimp::Importer importer;
		importer.SetIOHandler(new RegularFileIOSystem());
		const aiScene* scene = importer.ReadFile(path.GetCStr(), IMPORT_FLAGS);
		if (!scene)
		{
			gConsole.LogError("Error Importing Asset: {}", importer.GetErrorString());
			throw ResourceLoadFailedException();
		}

		// Some non-model files (binary data, for one) import as an empty scene; a model that draws nothing is
		// refused like an unreadable one.
		unsigned int triangleMeshCount = 0;
		for (unsigned int index = 0; index < scene->mNumMeshes; ++index)
			triangleMeshCount += IsTriangleMesh(scene->mMeshes[index]) ? 1 : 0;
		if (triangleMeshCount == 0)
		{
			gConsole.LogError("Error Importing Asset: {}", "No triangle meshes in " + path);
			throw ResourceLoadFailedException();
		}

		gConsole.LogDebug("Loading model {} sucessfull.", path);
		for (unsigned int index = 0; index < scene->mNumMeshes; ++index)
		{
			aiMesh* mesh = scene->mMeshes[index];
			if (!IsTriangleMesh(mesh))
			{
				gConsole.LogWarning("Skipping mesh entry: {} of {}, its faces are not triangles", mesh->mName.C_Str(),
				                    path);
				continue;
			}
			SubMeshes.EmplaceBack(std::make_unique<SubMesh>(path, mesh, scene->mMaterials[mesh->mMaterialIndex]));
		}
	}

	MeshResource::~MeshResource() = default;

	MeshResource::SubMesh::SubMesh(const String& path, aiMesh* mesh, aiMaterial* material)
	{
		LoadGeometry(mesh);
		MeshData.EmissiveMap = LoadTexture(material, path, aiTextureType_EMISSIVE, eTextureUsageType::EMISSIVE);
		MeshData.AlbedoMap = LoadTexture(material, path, aiTextureType_DIFFUSE, eTextureUsageType::ALBEDO);
		MeshData.MetallicMap = LoadTexture(material, path, aiTextureType_SPECULAR, eTextureUsageType::METALLIC);
		MeshData.RoughnessMap = LoadTexture(material, path, aiTextureType_SHININESS, eTextureUsageType::ROUGHNESS);
		MeshData.NormalMap = LoadTexture(material, path, aiTextureType_HEIGHT, eTextureUsageType::NORMAL);
		MeshData.AmbientOcclusionMap =
		    LoadTexture(material, path, aiTextureType_AMBIENT, eTextureUsageType::AMBIENT_OCCLUSION);
	}

	MeshResource::SubMesh::~SubMesh() = default;

	void MeshResource::SubMesh::LoadGeometry(aiMesh* mesh)
	{
		const unsigned int vertexCount = mesh->mNumVertices;
		const unsigned int faceCount = mesh->mNumFaces;

		if (mesh->HasPositions() && vertexCount > 0)
		{
			MeshData.Positions.Reserve(vertexCount);
			for (unsigned int vertex = 0; vertex < vertexCount; ++vertex)
				MeshData.Positions.PushBack(ToVector3f(mesh->mVertices[vertex]));
		}
		if (mesh->HasTextureCoords(0) && vertexCount > 0)
		{
			MeshData.TextCoords.Reserve(vertexCount);
			for (unsigned int vertex = 0; vertex < vertexCount; ++vertex)
			{
				const aiVector3D& coord = mesh->mTextureCoords[0][vertex];
				MeshData.TextCoords.PushBack(Mesh::TextCoord{coord.x, coord.y});
			}
		}
		if (mesh->HasNormals() && vertexCount > 0)
		{
			MeshData.Normals.Reserve(vertexCount);
			for (unsigned int vertex = 0; vertex < vertexCount; ++vertex)
				MeshData.Normals.PushBack(ToVector3f(mesh->mNormals[vertex]));
		}
		// Tangents without bitangents (or the other way round) are of no use to the shaders: neither is kept.
		if (mesh->HasTangentsAndBitangents() && vertexCount > 0)
		{
			MeshData.Tangents.Reserve(vertexCount);
			MeshData.Bitangents.Reserve(vertexCount);
			for (unsigned int vertex = 0; vertex < vertexCount; ++vertex)
			{
				MeshData.Tangents.PushBack(ToVector3f(mesh->mTangents[vertex]));
				MeshData.Bitangents.PushBack(ToVector3f(mesh->mBitangents[vertex]));
			}
		}
		if (mesh->HasFaces() && faceCount > 0)
		{
			MeshData.Indicies.Reserve(static_cast<u64>(faceCount) * 3);
			for (unsigned int face = 0; face < faceCount; ++face)
			{
				const aiFace& indices = mesh->mFaces[face];
				MeshData.Indicies.PushBack(indices.mIndices[0]);
				MeshData.Indicies.PushBack(indices.mIndices[1]);
				MeshData.Indicies.PushBack(indices.mIndices[2]);
			}
		}

		MeshProxy = gEngine->GetRenderingDevice()->CreateMesh();
		MeshProxy->SetContent(MeshData);

		gConsole.LogDebug("Loaded mesh entry: {} with {} vertices, {} faces and parameters: pos[{}], tex_coord[{}], "
		                  "norm[{}], faces[{}]",
		                  mesh->mName.C_Str(), MeshData.Positions.GetSize(), faceCount, OnOff(mesh->HasPositions()),
		                  OnOff(mesh->HasTextureCoords(0)), OnOff(mesh->HasNormals()), OnOff(mesh->HasFaces()));
	}

	TextureResource* MeshResource::SubMesh::LoadTexture(const aiMaterial* material, const String& path,
	                                                    unsigned int type, eTextureUsageType usage)
	{
		aiString texturePath;
		if (aiGetMaterialTexture(material, static_cast<aiTextureType>(type), 0, &texturePath) != aiReturn_SUCCESS)
		{
			gConsole.LogError("Failed to load texture for material: {}", path);
			return nullptr;
		}

		// Texture paths in model files are relative to the model's folder and may be written with backslashes.
		const std::string modelPath = path.Replace('\\', '/').GetStdString();
		const std::size_t lastSlash = modelPath.rfind('/');
		const String folder(lastSlash == std::string::npos ? std::string() : modelPath.substr(0, lastSlash + 1));
		const String fullTexturePath = (folder + texturePath.C_Str()).Replace('\\', '/');

		// The folder already starts with the model's asset root, so no prefix is added.
		TextureResource* texture =
		    ResourceManager<TextureResource>::Load(fullTexturePath, eResourceSource::NONE, usage);
		if (texture)
			gConsole.LogDebug("Succeded to load texture: {}", fullTexturePath);
		else
			gConsole.LogError("Failed to load texture: {}", fullTexturePath);
		return texture;
	}
} // namespace Vorn
