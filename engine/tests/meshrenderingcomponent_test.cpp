#include "rendering/meshrenderingcomponent.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "fixtures/sceneassets.hpp"
#include "fixtures/testengine.hpp"
#include "resources/meshresource.hpp"

#include <gtest/gtest.h>

using namespace Vorn;
using namespace VornTests;

namespace
{
	const char* const MODEL_PATH = "Models/ThreeParts.obj";

	class MeshRenderingComponentTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Harness.Init();
			WriteTestModel(eResourceSource::GAME, MODEL_PATH, 3);
		}

		World* GetWorld() { return Harness.GetWorld(); }

		MeshRenderingComponent* AddMesh(const char* path)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			return GetWorld()->AddComponent<MeshRenderingComponent>(entity, path, eResourceSource::GAME);
		}

		TestEngine Harness;
	};

	using MeshRenderingComponentDeathTest = MeshRenderingComponentTest;
} // namespace

TEST_F(MeshRenderingComponentTest, EverySubMeshGetsADefaultMaterialAndSetMaterialChangesOnlyItsOwn)
{
	MeshRenderingComponent* component = AddMesh(MODEL_PATH);
	ASSERT_NE(component->GetMesh(), nullptr);
	ASSERT_EQ(component->GetMesh()->GetSubMeshes().GetSize(), 3u);

	const Material red(Color::RED, Color::BLACK, 0.2f, 0.3f, 0.4f);
	component->SetMaterial(1, red);
	for (int index = 0; index < 3; ++index)
	{
		const Material expected = index == 1 ? red : Material();
		const Material& actual = component->GetMaterial(index);
		EXPECT_EQ(actual.Emissive, expected.Emissive) << index;
		EXPECT_EQ(actual.Albedo, expected.Albedo) << index;
		EXPECT_EQ(actual.Roughness, expected.Roughness) << index;
		EXPECT_EQ(actual.Metallic, expected.Metallic) << index;
		EXPECT_EQ(actual.OpacityMaskThreshold, expected.OpacityMaskThreshold) << index;
	}
}

TEST_F(MeshRenderingComponentTest, DrawsLitOpaqueAndFilledUntilToldOtherwise)
{
	MeshRenderingComponent* component = AddMesh(MODEL_PATH);
	EXPECT_EQ(component->GetShadingModel(), eShadingMode::PBR);
	EXPECT_EQ(component->GetBlendingMode(), eBlendingMode::OPAQUE);
	EXPECT_FALSE(component->GetIsWireframe());

	component->SetShadingModel(eShadingMode::NONE);
	component->SetBlendingMode(eBlendingMode::TRANSLUCENT);
	component->SetIsWireframe(true);
	EXPECT_EQ(component->GetShadingModel(), eShadingMode::NONE);
	EXPECT_EQ(component->GetBlendingMode(), eBlendingMode::TRANSLUCENT);
	EXPECT_TRUE(component->GetIsWireframe());
}

TEST_F(MeshRenderingComponentTest, ComponentsOfOnePathShareTheMeshAndTheLastOneReleasesIt)
{
	MeshRenderingComponent* first = AddMesh(MODEL_PATH);
	MeshRenderingComponent* second = AddMesh(MODEL_PATH);
	ASSERT_NE(first->GetMesh(), nullptr);
	ASSERT_EQ(first->GetMesh(), second->GetMesh());
	EXPECT_EQ(first->GetMesh()->GetRefCount(), 2u);
	EXPECT_EQ(Impl::gMeshResourcesMap.size(), 1u);

	DeferredTaskSystem::DestroyEntityImmediate(GetWorld(), first->GetOwner());
	ASSERT_EQ(Impl::gMeshResourcesMap.size(), 1u);
	EXPECT_EQ(second->GetMesh()->GetRefCount(), 1u);
	EXPECT_EQ(second->GetMesh()->GetSubMeshes().GetSize(), 3u);

	Harness.DestroyEngine();
	EXPECT_TRUE(Impl::gMeshResourcesMap.empty());
	EXPECT_EQ(Harness.DeviceLog.LiveProxies, 0);
}

TEST_F(MeshRenderingComponentDeathTest, MeshThatFailedToLoadHasNoMaterials)
{
	MeshRenderingComponent* component = AddMesh("Models/Missing.obj");
	EXPECT_EQ(component->GetMesh(), nullptr);
	EXPECT_TRUE(Impl::gMeshResourcesMap.empty());
	EXPECT_DEATH(component->GetMaterial(0), "Index out of bounds!");
	EXPECT_DEATH(component->SetMaterial(0, Material()), "Index out of bounds!");
}

TEST_F(MeshRenderingComponentDeathTest, MaterialIndexPastTheSubMeshesStops)
{
	MeshRenderingComponent* component = AddMesh(MODEL_PATH);
	EXPECT_DEATH(component->GetMaterial(3), "Index out of bounds!");
	EXPECT_DEATH(component->SetMaterial(3, Material()), "Index out of bounds!");
	EXPECT_DEATH(component->GetMaterial(-1), "Index out of bounds!");
}
