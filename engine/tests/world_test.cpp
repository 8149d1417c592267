#include "ecs/deferredtasksystem.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/world.hpp"
#include "memory/safeptr.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace Vorn;

namespace
{
	// Records the value of every instance it destroys, in order.
	std::vector<int> gDestroyedValues;

	class ValueComponent : public ComponentBase
	{
	public:
		explicit ValueComponent(int value) : Value(value) {}
		~ValueComponent() override { gDestroyedValues.push_back(Value); }
		int Value;
	};

	class TagComponent : public ComponentBase
	{
	public:
		explicit TagComponent(int tag = 0) : Tag(tag) {}
		int Tag;
	};

	class UnusedComponent : public ComponentBase
	{
	};

	// Neither the first base nor at offset 0: the pool must still get the cell's own address back.
	struct Padding
	{
		virtual ~Padding() = default;
		double Filler[3] = {};
	};
	class OffsetComponent : public Padding, public ComponentBase
	{
	public:
		~OffsetComponent() override { gDestroyedValues.push_back(-1); }
	};

	class ThrowingComponent : public ComponentBase
	{
	public:
		explicit ThrowingComponent(bool shouldThrow)
		{
			if (shouldThrow)
				throw std::runtime_error("construction failed");
		}
	};

	class SettingsWorldComponent : public ComponentBase
	{
	public:
		explicit SettingsWorldComponent(int value) : Value(value) {}
		int Value;
	};

	template <int N>
	class NumberedComponent : public ComponentBase
	{
	};

	template <int... N>
	void CreatePools(World* world, std::integer_sequence<int, N...>)
	{
		(world->GetComponentAllocator<NumberedComponent<N>>(), ...);
	}

	class WorldTest : public ::testing::Test
	{
	protected:
		void SetUp() override { gDestroyedValues.clear(); }
		void TearDown() override { delete WorldUnderTest; }

		Entity* Spawn() { return DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest); }

		template <typename T1, typename... Ts>
		std::vector<std::tuple<T1*, Ts*...>> Collect()
		{
			std::vector<std::tuple<T1*, Ts*...>> visited;
			for (auto tuple : WorldUnderTest->IterateComponents<T1, Ts...>())
				visited.push_back(tuple);
			return visited;
		}

		World* WorldUnderTest = new World();
	};

	std::vector<int> ValuesOf(const std::vector<std::tuple<ValueComponent*>>& visited)
	{
		std::vector<int> values;
		for (auto [component] : visited)
			values.push_back(component->Value);
		return values;
	}
} // namespace

TEST_F(WorldTest, NewWorldHasOnlyTheRoot)
{
	Entity* root = WorldUnderTest->GetRoot();
	ASSERT_NE(root, nullptr);
	EXPECT_TRUE(root->IsRoot());
	EXPECT_TRUE(root->GetChildren().IsEmpty());
	EXPECT_EQ(root->GetWorld(), WorldUnderTest);
}

TEST_F(WorldTest, AddComponentAttachesItToTheEntity)
{
	Entity* entity = Spawn();
	ValueComponent* component = WorldUnderTest->AddComponent<ValueComponent>(entity, 7);

	EXPECT_EQ(component->Value, 7);
	EXPECT_EQ(component->GetOwner(), entity);
	EXPECT_TRUE(entity->HasComponent(GetComponentTypeID<ValueComponent>()));
	EXPECT_EQ(WorldUnderTest->GetComponent<ValueComponent>(entity), component);
	EXPECT_EQ(entity->GetComponent<ValueComponent>(), component);
	EXPECT_EQ(WorldUnderTest->GetComponent<TagComponent>(entity), nullptr);
	EXPECT_EQ(WorldUnderTest->GetComponentAllocator<ValueComponent>()->GetSize(), 1u);
}

TEST_F(WorldTest, RemoveComponentDestroysItAndFreesItsCell)
{
	Entity* entity = Spawn();
	WorldUnderTest->AddComponent<ValueComponent>(entity, 3);
	WorldUnderTest->AddComponent<TagComponent>(entity);

	WorldUnderTest->RemoveComponent<ValueComponent>(entity);

	EXPECT_EQ(gDestroyedValues, std::vector<int>{3});
	EXPECT_FALSE(entity->HasComponent(GetComponentTypeID<ValueComponent>()));
	EXPECT_EQ(entity->GetComponent<ValueComponent>(), nullptr);
	EXPECT_NE(entity->GetComponent<TagComponent>(), nullptr);
	EXPECT_EQ(WorldUnderTest->GetComponentAllocator<ValueComponent>()->GetSize(), 0u);
	EXPECT_TRUE(Collect<ValueComponent>().empty());
}

TEST_F(WorldTest, RemovingComponentNotAtTheObjectStartFreesTheRightCell)
{
	Entity* first = Spawn();
	Entity* second = Spawn();
	OffsetComponent* kept = WorldUnderTest->AddComponent<OffsetComponent>(first);
	OffsetComponent* removed = WorldUnderTest->AddComponent<OffsetComponent>(second);

	WorldUnderTest->RemoveComponent<OffsetComponent>(second);
	OffsetComponent* reused = WorldUnderTest->AddComponent<OffsetComponent>(Spawn());

	EXPECT_EQ(reused, removed);
	const auto visited = Collect<OffsetComponent>();
	ASSERT_EQ(visited.size(), 2u);
	EXPECT_EQ(std::get<0>(visited[0]), kept);
	EXPECT_EQ(std::get<0>(visited[1]), reused);
}

TEST_F(WorldTest, ComponentWhoseConstructorThrowsLeavesNoCellBehind)
{
	Entity* entity = Spawn();

	EXPECT_THROW(WorldUnderTest->AddComponent<ThrowingComponent>(entity, true), std::runtime_error);

	EXPECT_FALSE(entity->HasComponent(GetComponentTypeID<ThrowingComponent>()));
	EXPECT_EQ(WorldUnderTest->GetComponentAllocator<ThrowingComponent>()->GetSize(), 0u);
	EXPECT_TRUE(Collect<ThrowingComponent>().empty());
	EXPECT_NE(WorldUnderTest->AddComponent<ThrowingComponent>(entity, false), nullptr);
}

TEST_F(WorldTest, FreedCellIsReusedAndIterationFollowsCellOrder)
{
	std::vector<Entity*> entities;
	std::vector<ValueComponent*> components;
	for (int value = 0; value < 3; ++value)
	{
		entities.push_back(Spawn());
		components.push_back(WorldUnderTest->AddComponent<ValueComponent>(entities.back(), value));
	}
	EXPECT_LT(components[0], components[1]);
	EXPECT_LT(components[1], components[2]);

	WorldUnderTest->RemoveComponent<ValueComponent>(entities[1]);
	ValueComponent* reused = WorldUnderTest->AddComponent<ValueComponent>(Spawn(), 10);

	EXPECT_EQ(reused, components[1]);
	EXPECT_EQ(ValuesOf(Collect<ValueComponent>()), (std::vector<int>{0, 10, 2}));
}

TEST_F(WorldTest, IterationOrderDependsOnCellsNotOnAllocationOrder)
{
	std::vector<Entity*> entities;
	for (int value = 0; value < 4; ++value)
	{
		entities.push_back(Spawn());
		WorldUnderTest->AddComponent<ValueComponent>(entities.back(), value);
	}
	// Cells 0 and 2 freed; last in, first out gives cell 2 to value 20, then cell 0 to value 21.
	WorldUnderTest->RemoveComponent<ValueComponent>(entities[0]);
	WorldUnderTest->RemoveComponent<ValueComponent>(entities[2]);
	WorldUnderTest->AddComponent<ValueComponent>(entities[0], 20);
	WorldUnderTest->AddComponent<ValueComponent>(entities[2], 21);

	EXPECT_EQ(ValuesOf(Collect<ValueComponent>()), (std::vector<int>{21, 1, 20, 3}));
}

TEST_F(WorldTest, IteratingTwoTypesVisitsOnlyOwnersOfBoth)
{
	// Pattern of owners: the first, a middle and the last ValueComponent have no TagComponent.
	const bool hasTag[] = {false, true, false, true, true, false};
	std::vector<std::pair<ValueComponent*, TagComponent*>> expected;
	for (int value = 0; value < 6; ++value)
	{
		Entity* entity = Spawn();
		ValueComponent* component = WorldUnderTest->AddComponent<ValueComponent>(entity, value);
		if (hasTag[value])
			expected.emplace_back(component, WorldUnderTest->AddComponent<TagComponent>(entity, value * 100));
	}
	// A TagComponent without a ValueComponent is not visited either.
	WorldUnderTest->AddComponent<TagComponent>(Spawn());

	std::vector<std::pair<ValueComponent*, TagComponent*>> visited;
	for (auto [value, tag] : WorldUnderTest->IterateComponents<ValueComponent, TagComponent>())
	{
		EXPECT_EQ(value->GetOwner(), tag->GetOwner());
		visited.emplace_back(value, tag);
	}
	EXPECT_EQ(visited, expected);
}

TEST_F(WorldTest, IteratingTypesWithoutComponentsVisitsNothing)
{
	WorldUnderTest->AddComponent<ValueComponent>(Spawn(), 1);

	EXPECT_TRUE(Collect<UnusedComponent>().empty());
	EXPECT_TRUE((Collect<ValueComponent, UnusedComponent>().empty()));
}

TEST_F(WorldTest, DestroyingEntityWithChildrenDestroysSubtreeChildrenFirst)
{
	// parent(0) -> child(1) -> grandchild(2), parent -> secondChild(3); a sibling(4) stays.
	Entity* parent = Spawn();
	Entity* child = Spawn();
	Entity* grandchild = Spawn();
	Entity* secondChild = Spawn();
	Entity* sibling = Spawn();
	child->SetParent(parent);
	grandchild->SetParent(child);
	secondChild->SetParent(parent);
	const std::pair<Entity*, int> values[] = {{parent, 0}, {child, 1}, {grandchild, 2}, {secondChild, 3}, {sibling, 4}};
	for (auto [entity, value] : values)
	{
		WorldUnderTest->AddComponent<ValueComponent>(entity, value);
		WorldUnderTest->AddComponent<TagComponent>(entity);
	}
	std::vector<SafePtr<Entity>> handles;
	for (Entity* entity : {parent, child, grandchild, secondChild})
		handles.emplace_back(entity);

	DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, parent);

	EXPECT_EQ(gDestroyedValues, (std::vector<int>{2, 1, 3, 0}));
	for (const SafePtr<Entity>& handle : handles)
		EXPECT_EQ(handle.Get(), nullptr);
	EXPECT_EQ(WorldUnderTest->GetComponentAllocator<ValueComponent>()->GetSize(), 1u);
	EXPECT_EQ(WorldUnderTest->GetComponentAllocator<TagComponent>()->GetSize(), 1u);
	ASSERT_EQ(WorldUnderTest->GetRoot()->GetChildren().GetSize(), 1u);
	EXPECT_EQ(WorldUnderTest->GetRoot()->GetChildren()[0], sibling);
	EXPECT_EQ(ValuesOf(Collect<ValueComponent>()), std::vector<int>{4});
}

TEST_F(WorldTest, DestroyingParentAfterSomeOfItsChildrenDestroysTheRestInOrder)
{
	Entity* parent = Spawn();
	std::vector<Entity*> children;
	for (int value = 0; value < 6; ++value)
	{
		children.push_back(Spawn());
		children.back()->SetParent(parent);
		WorldUnderTest->AddComponent<ValueComponent>(children.back(), value);
	}
	DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, children[0]);
	DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, children[2]);
	gDestroyedValues.clear();

	DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, parent);

	EXPECT_EQ(gDestroyedValues, (std::vector<int>{1, 3, 4, 5}));
	EXPECT_EQ(WorldUnderTest->GetComponentAllocator<ValueComponent>()->GetSize(), 0u);
	EXPECT_TRUE(WorldUnderTest->GetRoot()->GetChildren().IsEmpty());
}

TEST_F(WorldTest, DestroyedEntityBlockIsReusedForTheNextEntity)
{
	Entity* first = Spawn();
	SafePtr<Entity> handle(first);
	DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, first);

	Entity* next = Spawn();

	EXPECT_EQ(next, first);
	EXPECT_EQ(handle.Get(), nullptr);
	EXPECT_FALSE(next->HasComponent(GetComponentTypeID<ValueComponent>()));
}

TEST_F(WorldTest, WorldComponentsAreAddedOncePerType)
{
	const u64 id = GetWorldComponentTypeID<SettingsWorldComponent>();
	EXPECT_FALSE(WorldUnderTest->HasWorldComponent(id));
	EXPECT_EQ(WorldUnderTest->GetWorldComponent<SettingsWorldComponent>(), nullptr);

	SettingsWorldComponent* settings = WorldUnderTest->AddWorldComponent<SettingsWorldComponent>(5);

	EXPECT_TRUE(WorldUnderTest->HasWorldComponent(id));
	EXPECT_EQ(WorldUnderTest->GetWorldComponent<SettingsWorldComponent>(), settings);
	EXPECT_EQ(settings->Value, 5);
}

TEST(WorldLifetimeTest, DestructorReleasesEntitiesComponentsPoolsAndWorldComponents)
{
	gDestroyedValues.clear();
	const u64 allocationsBefore = CustomAlocatedObject::GetLiveAllocationCount();
	const u64 handlesBefore = SafePtrRoot::GetRegisteredCount();

	World* world = new World();
	world->AddWorldComponent<DeferredTaskWorldComponent>();
	world->AddWorldComponent<SettingsWorldComponent>(1);
	Entity* parent = DeferredTaskSystem::SpawnEntityImmediate(world);
	Entity* child = DeferredTaskSystem::SpawnEntityImmediate(world);
	child->SetParent(parent);
	world->AddComponent<ValueComponent>(parent, 1);
	world->AddComponent<ValueComponent>(child, 2);
	DeferredTaskSystem::AddComponentImmediate<TagComponent>(world, child);
	DeferredTaskSystem::DestroyEntity(world, parent);
	EXPECT_GT(CustomAlocatedObject::GetLiveAllocationCount(), allocationsBefore);
	EXPECT_GT(SafePtrRoot::GetRegisteredCount(), handlesBefore);

	delete world;

	EXPECT_EQ(gDestroyedValues, (std::vector<int>{2, 1}));
	EXPECT_EQ(CustomAlocatedObject::GetLiveAllocationCount(), allocationsBefore);
	EXPECT_EQ(SafePtrRoot::GetRegisteredCount(), handlesBefore);
}

TEST_F(WorldTest, EntityPoolHoldsRootAnd65535EntitiesThenStops)
{
	// The root holds one of the 65,536 blocks.
	for (u64 i = 1; i < World::ENTITY_POOL_CAPACITY; ++i)
		Spawn();
	EXPECT_EQ(WorldUnderTest->GetRoot()->GetChildren().GetSize(), World::ENTITY_POOL_CAPACITY - 1);

	EXPECT_DEATH(Spawn(), "Pool allocator is full!");
}

TEST_F(WorldTest, SixtyFifthComponentTypeIsRejected)
{
	EXPECT_DEATH(CreatePools(WorldUnderTest, std::make_integer_sequence<int, 65>()), "Invalid component ID");
}

TEST_F(WorldTest, MisuseStopsWithItsMessage)
{
	Entity* entity = Spawn();
	WorldUnderTest->AddComponent<ValueComponent>(entity, 1);
	WorldUnderTest->AddWorldComponent<SettingsWorldComponent>(1);

	const std::pair<std::function<void()>, const char*> cases[] = {
	    {[&] { WorldUnderTest->AddComponent<ValueComponent>(entity, 2); },
	     "Failed at AddComponent\\(\\) - a component of a given UniqueID already exists!"},
	    {[&] { WorldUnderTest->AddComponent<TagComponent>(nullptr); }, "Invalid entity ID"},
	    {[&] { WorldUnderTest->GetComponent<ValueComponent>(nullptr); },
	     "Invalid entity - entity with that ID does not exist!"},
	    {[&] { WorldUnderTest->RemoveComponent<TagComponent>(entity); }, "Removing not present component"},
	    {[&] { WorldUnderTest->AddWorldComponent<SettingsWorldComponent>(2); },
	     "Failed at AddWorldComponent\\(\\) - a world component of a given type already exists!"},
	    {[&] { WorldUnderTest->HasWorldComponent(MAX_WORLD_COMPONENTS_COUNT); },
	     "Invalid component ID - greater than MAX_WORLD_COMPONENTS_COUNT\\."},
	    {[&] { DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, nullptr); }, "Invalid entity ID"},
	    {[&] { WorldUnderTest->GetWorldComponent<SettingsWorldComponent>()->GetOwner(); },
	     "Component was not properly initialized\\."},
	};
	for (const auto& [action, message] : cases)
		EXPECT_DEATH(action(), message) << message;
}
