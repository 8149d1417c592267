#include "ecs/deferredtasksystem.hpp"
#include "ecs/entity.hpp"
#include "ecs/world.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace Vorn;

namespace
{
	class FirstComponent : public ComponentBase
	{
	};
	class SecondComponent : public ComponentBase
	{
	};

	class EntityTest : public ::testing::Test
	{
	protected:
		void TearDown() override { delete WorldUnderTest; }

		Entity* Spawn() { return DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest); }

		static std::vector<Entity*> ChildrenOf(const Entity* entity)
		{
			std::vector<Entity*> children;
			for (Entity* child : entity->GetChildren())
				children.push_back(child);
			return children;
		}

		World* WorldUnderTest = new World();
	};
} // namespace

TEST_F(EntityTest, SpawnedEntityIsAChildOfTheRootWithItsOwnID)
{
	Entity* first = Spawn();
	Entity* second = Spawn();

	EXPECT_EQ(first->GetParent(), WorldUnderTest->GetRoot());
	EXPECT_EQ(ChildrenOf(WorldUnderTest->GetRoot()), (std::vector<Entity*>{first, second}));
	EXPECT_FALSE(first->GetID().IsEmpty());
	EXPECT_NE(first->GetID(), second->GetID());
	EXPECT_EQ(first->GetWorld(), WorldUnderTest);
	EXPECT_STREQ(first->GetTypeInfo().GetTypeName(), "Entity");
	EXPECT_TRUE(first->GetPropertyManager()->GetPropertyList().IsEmpty());
}

TEST_F(EntityTest, RootAndChildOfRootAreToldApart)
{
	Entity* child = Spawn();
	Entity* grandchild = Spawn();
	grandchild->SetParent(child);

	const std::pair<Entity*, std::pair<bool, bool>> cases[] = {
	    {WorldUnderTest->GetRoot(), {true, false}},
	    {child, {false, true}},
	    {grandchild, {false, false}},
	};
	for (const auto& [entity, expected] : cases)
	{
		EXPECT_EQ(entity->IsRoot(), expected.first);
		EXPECT_EQ(entity->IsChildOfRoot(), expected.second);
	}
}

TEST_F(EntityTest, ReparentingKeepsTheOrderOfTheOtherChildren)
{
	Entity* parent = Spawn();
	Entity* a = Spawn();
	Entity* b = Spawn();
	Entity* c = Spawn();
	parent->AddChild(a);
	parent->AddChild(b);
	c->SetParent(parent);
	ASSERT_EQ(ChildrenOf(parent), (std::vector<Entity*>{a, b, c}));

	b->SetParent(WorldUnderTest->GetRoot());

	EXPECT_EQ(ChildrenOf(parent), (std::vector<Entity*>{a, c}));
	EXPECT_EQ(b->GetParent(), WorldUnderTest->GetRoot());
	EXPECT_EQ(WorldUnderTest->GetRoot()->GetChildren().GetSize(), 2u);
	EXPECT_EQ(WorldUnderTest->GetRoot()->GetChildren()[1], b);
}

TEST_F(EntityTest, SettingTheSameParentAgainMovesTheEntityToTheEnd)
{
	Entity* parent = Spawn();
	Entity* a = Spawn();
	Entity* b = Spawn();
	a->SetParent(parent);
	b->SetParent(parent);

	a->SetParent(parent);

	EXPECT_EQ(ChildrenOf(parent), (std::vector<Entity*>{b, a}));
}

TEST_F(EntityTest, ContainsChildRecursiveFindsDescendantsOnly)
{
	Entity* parent = Spawn();
	Entity* child = Spawn();
	Entity* grandchild = Spawn();
	Entity* stranger = Spawn();
	child->SetParent(parent);
	grandchild->SetParent(child);

	EXPECT_TRUE(parent->ContainsChildRecursive(child));
	EXPECT_TRUE(parent->ContainsChildRecursive(grandchild));
	EXPECT_FALSE(parent->ContainsChildRecursive(parent));
	EXPECT_FALSE(parent->ContainsChildRecursive(stranger));
	EXPECT_FALSE(grandchild->ContainsChildRecursive(parent));
}

TEST_F(EntityTest, DestroyedEntityLeavesItsParentsChildren)
{
	Entity* parent = Spawn();
	Entity* a = Spawn();
	Entity* b = Spawn();
	Entity* c = Spawn();
	for (Entity* child : {a, b, c})
		child->SetParent(parent);

	DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, b);

	EXPECT_EQ(ChildrenOf(parent), (std::vector<Entity*>{a, c}));
}

TEST_F(EntityTest, ChildrenKeepAttachmentOrderThroughMixedRemovals)
{
	// Removals in every position, with and without reads of the list in between, checked against a
	// plain vector; the parents are left now and then so their child lists fill with gaps.
	Entity* parent = Spawn();
	Entity* other = Spawn();
	std::vector<Entity*> expected;
	for (int i = 0; i < 40; ++i)
	{
		expected.push_back(Spawn());
		expected.back()->SetParent(parent);
	}
	u32 seed = 12345;
	auto next = [&seed](u32 bound)
	{
		seed = seed * 1664525u + 1013904223u;
		return (seed >> 8) % bound;
	};
	for (int step = 0; step < 120 && !expected.empty(); ++step)
	{
		const size_t index = next(static_cast<u32>(expected.size()));
		Entity* child = expected[index];
		switch (next(4))
		{
		case 0:
			DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, child);
			expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(index));
			break;
		case 1:
			child->SetParent(other);
			child->SetParent(parent);
			expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(index));
			expected.push_back(child);
			break;
		case 2:
			child->SetParent(parent);
			expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(index));
			expected.push_back(child);
			break;
		default:
			ASSERT_EQ(ChildrenOf(parent), expected) << "step " << step;
			break;
		}
		if (step % 7 == 0)
		{
			expected.push_back(Spawn());
			expected.back()->SetParent(parent);
		}
	}
	EXPECT_EQ(ChildrenOf(parent), expected);
	EXPECT_TRUE(other->GetChildren().IsEmpty());
}

TEST_F(EntityTest, HasComponentsNeedsEveryTypeOfTheMask)
{
	const u64 firstID = GetComponentTypeID<FirstComponent>();
	const u64 secondID = GetComponentTypeID<SecondComponent>();
	ASSERT_LT(firstID, 32u);
	ASSERT_LT(secondID, 32u);
	const u32 both = (1u << firstID) | (1u << secondID);
	Entity* entity = Spawn();

	EXPECT_TRUE(entity->HasComponents(0));
	WorldUnderTest->AddComponent<FirstComponent>(entity);
	EXPECT_TRUE(entity->HasComponents(1u << firstID));
	EXPECT_FALSE(entity->HasComponents(both));
	WorldUnderTest->AddComponent<SecondComponent>(entity);
	EXPECT_TRUE(entity->HasComponents(both));
	WorldUnderTest->RemoveComponent<FirstComponent>(entity);
	EXPECT_FALSE(entity->HasComponents(both));
	EXPECT_FALSE(entity->HasComponent(firstID));
	EXPECT_TRUE(entity->HasComponent(secondID));
}

TEST_F(EntityTest, ComponentReachesItsOwnerAndSiblings)
{
	Entity* entity = Spawn();
	FirstComponent* first = WorldUnderTest->AddComponent<FirstComponent>(entity);

	EXPECT_EQ(first->GetOwner(), entity);
	EXPECT_EQ(&first->GetTransform(), &entity->GetTransform());
	EXPECT_EQ(first->GetSibling<SecondComponent>(), nullptr);
	SecondComponent* second = WorldUnderTest->AddComponent<SecondComponent>(entity);
	EXPECT_EQ(first->GetSibling<SecondComponent>(), second);
	EXPECT_EQ(second->GetSibling<FirstComponent>(), first);
}

TEST_F(EntityTest, ComponentFlagsAreSetResetAndChecked)
{
	FirstComponent* component = WorldUnderTest->AddComponent<FirstComponent>(Spawn());
	EXPECT_FALSE(component->CheckFlags(eComponentBaseFlags::NEWLY_CREATED));

	component->SetFlags(eComponentBaseFlags::NEWLY_CREATED);
	EXPECT_TRUE(component->CheckFlags(eComponentBaseFlags::NEWLY_CREATED));
	EXPECT_EQ(component->GetFlags(), EnumFlags<eComponentBaseFlags>(eComponentBaseFlags::NEWLY_CREATED));

	component->ResetFlags(eComponentBaseFlags::NEWLY_CREATED);
	EXPECT_FALSE(component->CheckFlags(eComponentBaseFlags::NEWLY_CREATED));
	EXPECT_TRUE(component->GetFlags().IsEmpty());
}

TEST_F(EntityTest, MisuseStopsWithItsMessage)
{
	Entity* entity = Spawn();
	Entity* child = Spawn();
	Entity* grandchild = Spawn();
	child->SetParent(entity);
	grandchild->SetParent(child);

	const std::pair<std::function<void()>, const char*> cases[] = {
	    {[&] { entity->SetParent(nullptr); }, "New parent cannot be null"},
	    {[&] { entity->SetParent(entity); }, "Cannot parent myself!"},
	    {[&] { entity->SetParent(grandchild); }, "Detected parenting cycle!"},
	    {[&] { grandchild->AddChild(entity); }, "Detected parenting cycle!"},
	    {[&] { entity->AddChild(nullptr); }, "Child cannot be null!"},
	    {[&] { entity->HasComponent(MAX_COMPONENTS_COUNT); },
	     "Invalid component ID - greater than MAX_COMPONENTS_COUNT\\."},
	};
	for (const auto& [action, message] : cases)
		EXPECT_DEATH(action(), message) << message;
}
