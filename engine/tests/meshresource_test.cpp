#include "configs/assetspathconfig.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "fixtures/testimages.hpp"
#include "resources/meshresource.hpp"
#include "resources/textureresource.hpp"

#include <assimp/material.h>
#include <assimp/mesh.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	namespace fs = std::filesystem;

	// A unit cube as six faces with their own normals and texture coordinates, in object `name`.
	std::string CubeObject(const std::string& name, const std::string& material, int firstPosition)
	{
		std::string text = "o " + name + "\n";
		const char* corners[] = {"-1 -1 -1", "1 -1 -1", "1 1 -1", "-1 1 -1", "-1 -1 1", "1 -1 1", "1 1 1", "-1 1 1"};
		for (const char* corner : corners)
			text += std::string("v ") + corner + "\n";
		text += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
		text += "vn 0 0 -1\nvn 0 0 1\nvn -1 0 0\nvn 1 0 0\nvn 0 -1 0\nvn 0 1 0\n";
		if (!material.empty())
			text += "usemtl " + material + "\n";
		const int faces[6][4] = {{1, 4, 3, 2}, {5, 6, 7, 8}, {1, 5, 8, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {4, 8, 7, 3}};
		// Texture and normal indices are relative to this object's own lines.
		const int firstCoord = (firstPosition - 1) / 8 * 4 + 1;
		const int firstNormal = (firstPosition - 1) / 8 * 6 + 1;
		for (int face = 0; face < 6; ++face)
		{
			text += "f";
			for (int corner = 0; corner < 4; ++corner)
			{
				text += " " + std::to_string(firstPosition - 1 + faces[face][corner]) + "/" +
				        std::to_string(firstCoord + corner) + "/" + std::to_string(firstNormal + face);
			}
			text += "\n";
		}
		return text;
	}

	class MeshResourceTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Engine.Init();
			GameRoot = gAssetsPathConfig.GetAssetsPath(eResourceSource::GAME).GetStdString();
			Console = std::make_unique<ConsoleCapture>();
		}
		void TearDown() override
		{
			EXPECT_TRUE(Impl::gMeshResourcesMap.empty()) << "a test kept a mesh";
			EXPECT_TRUE(Impl::gTextureResourcesMap.empty()) << "a mesh kept a texture";
			EXPECT_EQ(Engine.DeviceLog.LiveProxies, 0);
		}

		void WriteGameFile(const std::string& relativePath, const std::string& text)
		{
			WriteFile(GameRoot + relativePath, text);
		}
		void WriteGamePng(const std::string& relativePath)
		{
			WritePng(GameRoot + relativePath, 2, 2, 3, std::vector<unsigned char>(2 * 2 * 3, 128));
		}

		TestEngine Engine;
		std::string GameRoot;
		std::unique_ptr<ConsoleCapture> Console;
	};

	const char* const NO_TEXTURE_LINE = "[ERROR] Failed to load texture for material: ";
} // namespace

TEST_F(MeshResourceTest, ModelBecomesASubMeshWithGeometryItsMaterialTextureAndADeviceMesh)
{
	WriteGameFile("Models/Crate/crate.obj", "mtllib crate.mtl\n" + CubeObject("Crate", "Wood", 1));
	WriteGameFile("Models/Crate/crate.mtl", "newmtl Wood\nmap_Kd crate.png\n");
	WriteGamePng("Models/Crate/crate.png");

	MeshResource* model = ResourceManager<MeshResource>::Load("Models/Crate/crate.obj", eResourceSource::GAME);
	ASSERT_NE(model, nullptr);
	ASSERT_EQ(model->GetSubMeshes().GetSize(), 1u);
	const MeshResource::SubMesh& subMesh = *model->GetSubMeshes()[0];
	const Mesh& mesh = subMesh.GetMeshData();
	EXPECT_EQ(mesh.GetVertexCount(), 24u) << "four corners per face once identical vertices are joined";
	EXPECT_EQ(mesh.GetTriangleCount(), 12u);
	EXPECT_EQ(mesh.GetIndicies().GetSize(), 36u);
	for (const u64 size : {mesh.GetNormals().GetSize(), mesh.GetTangents().GetSize(), mesh.GetBitangents().GetSize(),
	                       mesh.GetTextCoords().GetSize()})
		EXPECT_EQ(size, 24u);
	for (const u32 index : mesh.GetIndicies())
		EXPECT_LT(index, 24u);
	for (const Vector3f& position : mesh.GetPositions())
		EXPECT_TRUE(std::abs(position.x) == 1.0f && std::abs(position.y) == 1.0f && std::abs(position.z) == 1.0f);

	ASSERT_NE(mesh.GetAlbedoMap(), nullptr);
	EXPECT_EQ(mesh.GetAlbedoMap()->GetPath().GetStdString(), GameRoot + "Models/Crate/crate.png");
	EXPECT_EQ(mesh.GetAlbedoMap()->GetRefCount(), 1u);
	for (const TextureResource* map : {mesh.GetRoughnessMap(), mesh.GetMetallicMap(), mesh.GetAmbientOcclusionMap(),
	                                   mesh.GetNormalMap(), mesh.GetEmissiveMap()})
		EXPECT_EQ(map, nullptr);
	ASSERT_NE(subMesh.GetMeshProxy(), nullptr);
	EXPECT_EQ(Engine.DeviceLog.MeshSetContentCalls, 1);
	ASSERT_EQ(Engine.DeviceLog.Textures.size(), 1u);
	EXPECT_EQ(Engine.DeviceLog.Textures[0].Usage, eTextureUsageType::ALBEDO);

	const std::string modelPath = GameRoot + "Models/Crate/crate.obj";
	const std::string texturePath = GameRoot + "Models/Crate/crate.png";
	EXPECT_EQ(Console->GetText(),
	          "[INFO] ResourceManager: Loading: " + modelPath + "\n" + "[DEBUG] Loading model " + modelPath +
	              " sucessfull.\n"
	              "[DEBUG] Loaded mesh entry: Crate with 24 vertices, 12 faces and parameters: pos[on], tex_coord[on], "
	              "norm[on], faces[on]\n" +
	              NO_TEXTURE_LINE + modelPath + "\n" + "[INFO] ResourceManager: Loading: " + texturePath + "\n" +
	              "[INFO] TextureResource::TextureResource path: " + texturePath + " usage: 0\n" +
	              "[INFO] TextureResource::TextureResource loaded width: 2, height: 2, channels: 3, desiredChannels: "
	              "4\n" +
	              "[DEBUG] Succeded to load texture: " + texturePath + "\n" + NO_TEXTURE_LINE + modelPath + "\n" +
	              NO_TEXTURE_LINE + modelPath + "\n" + NO_TEXTURE_LINE + modelPath + "\n" + NO_TEXTURE_LINE +
	              modelPath + "\n");

	ResourceManager<MeshResource>::Release(model);
}

TEST_F(MeshResourceTest, TwoMeshesSharingAMaterialEachHoldTheSharedTexture)
{
	WriteGameFile("Models/Pair/pair.obj",
	              "mtllib pair.mtl\n" + CubeObject("Left", "Shared", 1) + CubeObject("Right", "Shared", 9));
	WriteGameFile("Models/Pair/pair.mtl", "newmtl Shared\nmap_Kd shared.png\n");
	WriteGamePng("Models/Pair/shared.png");

	MeshResource* model = ResourceManager<MeshResource>::Load("Models/Pair/pair.obj", eResourceSource::GAME);
	ASSERT_NE(model, nullptr);
	ASSERT_EQ(model->GetSubMeshes().GetSize(), 2u);
	TextureResource* shared = model->GetSubMeshes()[0]->GetMeshData().GetAlbedoMap();
	ASSERT_NE(shared, nullptr);
	EXPECT_EQ(model->GetSubMeshes()[1]->GetMeshData().GetAlbedoMap(), shared);
	EXPECT_EQ(shared->GetRefCount(), 2u);
	EXPECT_EQ(Engine.DeviceLog.Textures.size(), 1u) << "the file is decoded once";
	EXPECT_EQ(Engine.DeviceLog.MeshSetContentCalls, 2);

	ResourceManager<MeshResource>::Release(model);
}

TEST_F(MeshResourceTest, BackslashTexturePathOfAModelInASubFolderResolvesFromTheGameRoot)
{
	WriteGameFile("Models/Props/Lamp/lamp.obj", "mtllib lamp.mtl\n" + CubeObject("Lamp", "Brass", 1));
	WriteGameFile("Models/Props/Lamp/lamp.mtl", "newmtl Brass\nmap_Kd Textures\\Brass\\lamp_albedo.png\n");
	WriteGamePng("Models/Props/Lamp/Textures/Brass/lamp_albedo.png");

	MeshResource* model = ResourceManager<MeshResource>::Load("Models/Props/Lamp/lamp.obj", eResourceSource::GAME);
	ASSERT_NE(model, nullptr);
	const TextureResource* albedo = model->GetSubMeshes()[0]->GetMeshData().GetAlbedoMap();
	ASSERT_NE(albedo, nullptr) << Console->GetText();
	EXPECT_EQ(albedo->GetPath().GetStdString(), GameRoot + "Models/Props/Lamp/Textures/Brass/lamp_albedo.png");
	EXPECT_TRUE(Console->Contains("[DEBUG] Succeded to load texture: " + GameRoot +
	                              "Models/Props/Lamp/Textures/Brass/lamp_albedo.png\n"));

	ResourceManager<MeshResource>::Release(model);
}

TEST_F(MeshResourceTest, TextureThatCannotBeLoadedLeavesItsMapEmptyAndLoadingGoesOn)
{
	WriteGameFile("Models/Bare/bare.obj", "mtllib bare.mtl\n" + CubeObject("Bare", "Lost", 1));
	WriteGameFile("Models/Bare/bare.mtl", "newmtl Lost\nmap_Kd lost.png\n");

	MeshResource* model = ResourceManager<MeshResource>::Load("Models/Bare/bare.obj", eResourceSource::GAME);
	ASSERT_NE(model, nullptr);
	EXPECT_EQ(model->GetSubMeshes()[0]->GetMeshData().GetAlbedoMap(), nullptr);
	EXPECT_EQ(model->GetSubMeshes()[0]->GetMeshData().GetTriangleCount(), 12u);
	EXPECT_TRUE(Console->Contains("[ERROR] Resource loading failed! " + GameRoot +
	                              "Models/Bare/lost.png\n"
	                              "[ERROR] Failed to load texture: " +
	                              GameRoot + "Models/Bare/lost.png\n"));

	ResourceManager<MeshResource>::Release(model);
}

TEST_F(MeshResourceTest, MeshWithoutTextureCoordinatesHasNoneAndNoTangents)
{
	WriteGameFile("tri.obj", "o Tri\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n");

	MeshResource* model = ResourceManager<MeshResource>::Load("tri.obj", eResourceSource::GAME);
	ASSERT_NE(model, nullptr);
	const Mesh& mesh = model->GetSubMeshes()[0]->GetMeshData();
	EXPECT_FALSE(mesh.HasTextCoords());
	EXPECT_FALSE(mesh.HasTangents());
	EXPECT_TRUE(mesh.HasNormals());
	EXPECT_TRUE(Console->Contains("[DEBUG] Loaded mesh entry: Tri with 3 vertices, 1 faces and parameters: pos[on], "
	                              "tex_coord[off], norm[on], faces[on]\n"));

	ResourceManager<MeshResource>::Release(model);
}

TEST_F(MeshResourceTest, TangentsAreKeptOnlyTogetherWithBitangents)
{
	const struct
	{
		bool HasTangents;
		bool HasBitangents;
		bool ExpectsBoth;
	} cases[] = {{true, false, false}, {false, true, false}, {true, true, true}};
	for (const auto& c : cases)
	{
		// The importer always makes both, so the mesh record is built by hand.
		aiMesh source;
		source.mName = "Hand";
		source.mNumVertices = 3;
		source.mVertices = new aiVector3D[3]{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
		source.mNormals = new aiVector3D[3]{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
		if (c.HasTangents)
			source.mTangents = new aiVector3D[3]{{1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
		if (c.HasBitangents)
			source.mBitangents = new aiVector3D[3]{{0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
		source.mNumFaces = 1;
		source.mFaces = new aiFace[1];
		source.mFaces[0].mNumIndices = 3;
		source.mFaces[0].mIndices = new unsigned int[3]{0, 1, 2};
		aiMaterial material;

		const MeshResource::SubMesh subMesh("Models/hand.obj", &source, &material);
		const Mesh& mesh = subMesh.GetMeshData();
		EXPECT_EQ(mesh.HasTangents(), c.ExpectsBoth) << c.HasTangents << c.HasBitangents;
		EXPECT_EQ(mesh.HasBitangents(), c.ExpectsBoth) << c.HasTangents << c.HasBitangents;
		EXPECT_EQ(mesh.GetVertexCount(), 3u);
		EXPECT_EQ(mesh.GetIndicies().GetSize(), 3u);
	}
}

TEST_F(MeshResourceTest, PointsAndLinesAreSkippedWithAWarning)
{
	WriteGameFile("mixed.obj", "o Mixed\nv 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\np 3\nf 1 2 3\n");

	MeshResource* model = ResourceManager<MeshResource>::Load("mixed.obj", eResourceSource::GAME);
	ASSERT_NE(model, nullptr);
	ASSERT_EQ(model->GetSubMeshes().GetSize(), 1u);
	EXPECT_EQ(model->GetSubMeshes()[0]->GetMeshData().GetTriangleCount(), 1u);
	EXPECT_EQ(Engine.DeviceLog.MeshSetContentCalls, 1);
	const std::string warning =
	    "[WARNING] Skipping mesh entry: Mixed of " + GameRoot + "mixed.obj, its faces are not triangles\n";
	const std::string& log = Console->GetText();
	EXPECT_NE(log.find(warning), std::string::npos) << log;
	EXPECT_NE(log.find(warning, log.find(warning) + 1), std::string::npos) << "one for the points, one for the lines";

	ResourceManager<MeshResource>::Release(model);
}

TEST_F(MeshResourceTest, FilesThatCannotBeImportedGiveNullAndCreateNothing)
{
	WriteGameFile("empty.obj", "");
	std::string bytes;
	for (int repeat = 0; repeat < 8; ++repeat)
		for (int value = 0; value < 256; ++value)
			bytes.push_back(static_cast<char>(value));
	WriteGameFile("binary.obj", bytes);
	WriteGameFile("lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2 3\n");

	const struct
	{
		const char* Path;
		std::string ImporterText;
	} cases[] = {
	    {"missing.obj", "Unable to open file \"" + GameRoot + "missing.obj\"."},
	    {"empty.obj", "OBJ-file is too small."},
	    {"binary.obj", "No triangle meshes in " + GameRoot + "binary.obj"},
	    {"lines.obj", "No triangle meshes in " + GameRoot + "lines.obj"},
	};
	for (const auto& c : cases)
	{
		Console->Clear();
		EXPECT_EQ(ResourceManager<MeshResource>::Load(c.Path, eResourceSource::GAME), nullptr) << c.Path;
		EXPECT_EQ(Console->GetText(), "[INFO] ResourceManager: Loading: " + GameRoot + c.Path + "\n" +
		                                  "[ERROR] Error Importing Asset: " + c.ImporterText + "\n" +
		                                  "[ERROR] Resource loading failed! " + c.Path + "\n");
	}
	EXPECT_EQ(Engine.DeviceLog.MeshSetContentCalls, 0);
}

// Broken material libraries and texture files a modder may leave behind: the model still loads, every map that
// cannot be had stays empty (the device draws such maps with its fallback textures), and nothing blocks.
TEST_F(MeshResourceTest, BrokenMaterialsLoadTheGeometryWithEmptyMaps)
{
	const fs::path folder = GameRoot + "Models/Broken/";
	fs::create_directories(folder);
	ASSERT_EQ(mkfifo((folder / "pipe.png").c_str(), 0644), 0);
	fs::create_symlink("/dev/zero", folder / "endless.png");
	fs::create_directory(folder / "folder.png");

	const struct
	{
		const char* Name;
		std::string Material;
		const char* UseMaterial;
	} cases[] = {
	    {"MaterialLinesWithoutNewmtl", "Kd 1 0 0\nmap_Kd albedo.png\nNs 10\n", "Paint"},
	    {"MaterialWithoutName", "newmtl\nKd 1 0 0\nmap_Kd albedo.png\n", "Paint"},
	    {"UsemtlOfAnUnknownMaterial", "newmtl Other\nmap_Kd albedo.png\n", "Paint"},
	    {"TextureIsANamedPipe", "newmtl Paint\nmap_Kd pipe.png\n", "Paint"},
	    {"TextureIsAnEndlessDevice", "newmtl Paint\nmap_Kd endless.png\nmap_Ks endless.png\n", "Paint"},
	    {"TextureIsAFolder", "newmtl Paint\nmap_Kd folder.png\n", "Paint"},
	    {"MaterialLibraryIsANamedPipe", "", "Paint"},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Name);
		const std::string model = std::string("Models/Broken/") + c.Name + ".obj";
		const std::string library = std::string(c.Name) + ".mtl";
		if (c.Material.empty())
			ASSERT_EQ(mkfifo((folder / library).c_str(), 0644), 0);
		else
			WriteFile(folder / library, c.Material);
		WriteGameFile(model, "mtllib " + library + "\n" + CubeObject("Box", c.UseMaterial, 1));

		MeshResource* mesh = ResourceManager<MeshResource>::Load(model.c_str(), eResourceSource::GAME);
		ASSERT_NE(mesh, nullptr) << Console->GetText();
		ASSERT_EQ(mesh->GetSubMeshes().GetSize(), 1u);
		const Mesh& data = mesh->GetSubMeshes()[0]->GetMeshData();
		EXPECT_EQ(data.GetTriangleCount(), 12u);
		for (const TextureResource* map : {data.GetAlbedoMap(), data.GetRoughnessMap(), data.GetMetallicMap(),
		                                   data.GetAmbientOcclusionMap(), data.GetNormalMap(), data.GetEmissiveMap()})
			EXPECT_EQ(map, nullptr);
		ResourceManager<MeshResource>::Release(mesh);
	}
	EXPECT_TRUE(Console->Contains("[INFO] Vorn::LoadImage Failed to load: " + (folder / "pipe.png").string() +
	                              ", reason: " + (folder / "pipe.png").string() + ": is not a regular file"))
	    << Console->GetText();
	EXPECT_TRUE(Console->Contains("[WARNING] Material library " + (folder / "MaterialLinesWithoutNewmtl.mtl").string() +
	                              " has statements before its first newmtl line; they are ignored"))
	    << Console->GetText();
	EXPECT_TRUE(Console->Contains((folder / "endless.png").string() + ": is not a regular file")) << Console->GetText();
	EXPECT_TRUE(Console->Contains("Model file refused: " + (folder / "MaterialLibraryIsANamedPipe.mtl").string()))
	    << Console->GetText();
}
