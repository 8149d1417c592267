#include "ecs/deferredtasksystem.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/world.hpp"
#include "memory/safeptr.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace Vorn;

namespace
{
	std::vector<int> gEvents;

	class MarkerComponent : public ComponentBase
	{
	public:
		explicit MarkerComponent(int value) : Value(value) {}
		~MarkerComponent() override { gEvents.push_back(Value); }
		int Value;
	};

	// Records its value when run and, negated, when destroyed; may queue a follow-up when run.
	class RecordingTask : public DeferredTaskBase
	{
	public:
		RecordingTask(int value, DeferredTaskWorldComponent* followUpQueue = nullptr)
		    : Value(value), FollowUpQueue(followUpQueue)
		{
		}
		~RecordingTask() override { gEvents.push_back(-Value); }

		void Execute(World*) override
		{
			gEvents.push_back(Value);
			if (FollowUpQueue)
				FollowUpQueue->ScheduleTask(new RecordingTask(Value + 1));
		}
		const char* GetDescription() const override { return "Recording"; }

	private:
		int Value;
		DeferredTaskWorldComponent* FollowUpQueue;
	};

	class DeferredTaskSystemTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			gEvents.clear();
			Deferred = WorldUnderTest->AddWorldComponent<DeferredTaskWorldComponent>();
		}
		void TearDown() override { delete WorldUnderTest; }

		Entity* Spawn() { return DeferredTaskSystem::SpawnEntityImmediate(WorldUnderTest); }

		std::vector<int> MarkerValues()
		{
			std::vector<int> values;
			for (auto [marker] : WorldUnderTest->IterateComponents<MarkerComponent>())
				values.push_back(marker->Value);
			return values;
		}

		World* WorldUnderTest = new World();
		DeferredTaskWorldComponent* Deferred = nullptr;
	};
} // namespace

TEST_F(DeferredTaskSystemTest, DestroyedEntityStaysVisibleUntilThePhase)
{
	Entity* parent = Spawn();
	Entity* child = Spawn();
	child->SetParent(parent);
	WorldUnderTest->AddComponent<MarkerComponent>(parent, 1);
	WorldUnderTest->AddComponent<MarkerComponent>(child, 2);
	SafePtr<Entity> parentHandle(parent);
	SafePtr<Entity> childHandle(child);

	DeferredTaskSystem::DestroyEntity(WorldUnderTest, parent);

	EXPECT_EQ(parentHandle.Get(), parent);
	EXPECT_EQ(MarkerValues(), (std::vector<int>{1, 2}));
	EXPECT_TRUE(gEvents.empty());

	DeferredTaskSystem::DeferredTaskPhase(WorldUnderTest);

	EXPECT_EQ(parentHandle.Get(), nullptr);
	EXPECT_EQ(childHandle.Get(), nullptr);
	EXPECT_TRUE(MarkerValues().empty());
	EXPECT_EQ(gEvents, (std::vector<int>{2, 1}));
	EXPECT_TRUE(Deferred->GetTasks().IsEmpty());
}

TEST_F(DeferredTaskSystemTest, ParentAndChildScheduledInOneFrameAreDestroyedOnce)
{
	struct Case
	{
		const char* Name;
		bool ParentFirst;
	};
	const Case cases[] = {{"parent first", true}, {"child first", false}};
	for (const Case& testCase : cases)
	{
		gEvents.clear();
		Entity* parent = Spawn();
		Entity* child = Spawn();
		child->SetParent(parent);
		WorldUnderTest->AddComponent<MarkerComponent>(parent, 1);
		WorldUnderTest->AddComponent<MarkerComponent>(child, 2);

		DeferredTaskSystem::DestroyEntity(WorldUnderTest, testCase.ParentFirst ? parent : child);
		DeferredTaskSystem::DestroyEntity(WorldUnderTest, testCase.ParentFirst ? child : parent);
		DeferredTaskSystem::DeferredTaskPhase(WorldUnderTest);

		EXPECT_EQ(gEvents, (std::vector<int>{2, 1})) << testCase.Name;
		EXPECT_TRUE(WorldUnderTest->GetRoot()->GetChildren().IsEmpty()) << testCase.Name;
		EXPECT_EQ(WorldUnderTest->GetComponentAllocator<MarkerComponent>()->GetSize(), 0u) << testCase.Name;
	}
}

TEST_F(DeferredTaskSystemTest, DestroyingTheSameEntityTwiceInAFrameIsHarmless)
{
	Entity* entity = Spawn();
	WorldUnderTest->AddComponent<MarkerComponent>(entity, 1);
	Entity* survivor = Spawn();

	DeferredTaskSystem::DestroyEntity(WorldUnderTest, entity);
	DeferredTaskSystem::DestroyEntity(WorldUnderTest, entity);
	DeferredTaskSystem::DeferredTaskPhase(WorldUnderTest);

	EXPECT_EQ(gEvents, std::vector<int>{1});
	ASSERT_EQ(WorldUnderTest->GetRoot()->GetChildren().GetSize(), 1u);
	EXPECT_EQ(WorldUnderTest->GetRoot()->GetChildren()[0], survivor);
}

TEST_F(DeferredTaskSystemTest, NewlyCreatedFlagLastsUntilTheNextPhase)
{
	Entity* entity = Spawn();
	MarkerComponent* old = WorldUnderTest->AddComponent<MarkerComponent>(entity, 1);
	MarkerComponent* fresh = DeferredTaskSystem::AddComponentImmediate<MarkerComponent>(WorldUnderTest, Spawn(), 2);

	EXPECT_FALSE(old->CheckFlags(eComponentBaseFlags::NEWLY_CREATED));
	EXPECT_TRUE(fresh->CheckFlags(eComponentBaseFlags::NEWLY_CREATED));
	EXPECT_EQ(fresh->Value, 2);
	EXPECT_EQ(Deferred->GetNewlyCreatedComponents().GetSize(), 1u);

	DeferredTaskSystem::DeferredTaskPhase(WorldUnderTest);

	EXPECT_FALSE(fresh->CheckFlags(eComponentBaseFlags::NEWLY_CREATED));
	EXPECT_TRUE(Deferred->GetNewlyCreatedComponents().IsEmpty());
}

TEST_F(DeferredTaskSystemTest, NewComponentRemovedInItsFrameLeavesTheNewlyCreatedList)
{
	const std::pair<const char*, std::function<void(Entity*)>> cases[] = {
	    {"component removed", [this](Entity* entity) { WorldUnderTest->RemoveComponent<MarkerComponent>(entity); }},
	    {"entity destroyed",
	     [this](Entity* entity) { DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, entity); }},
	};
	for (const auto& [name, removal] : cases)
	{
		Entity* kept = Spawn();
		Entity* removed = Spawn();
		MarkerComponent* keptComponent =
		    DeferredTaskSystem::AddComponentImmediate<MarkerComponent>(WorldUnderTest, kept, 1);
		DeferredTaskSystem::AddComponentImmediate<MarkerComponent>(WorldUnderTest, removed, 2);

		removal(removed);

		ASSERT_EQ(Deferred->GetNewlyCreatedComponents().GetSize(), 1u) << name;
		EXPECT_EQ(Deferred->GetNewlyCreatedComponents()[0], keptComponent) << name;
		DeferredTaskSystem::DeferredTaskPhase(WorldUnderTest);
		EXPECT_FALSE(keptComponent->CheckFlags(eComponentBaseFlags::NEWLY_CREATED)) << name;
		DeferredTaskSystem::DestroyEntityImmediate(WorldUnderTest, kept);
	}
}

TEST_F(DeferredTaskSystemTest, TasksRunInOrderIncludingThoseScheduledDuringThePhase)
{
	Deferred->ScheduleTask(new RecordingTask(10, Deferred));
	Deferred->ScheduleTask(new RecordingTask(20));

	DeferredTaskSystem::DeferredTaskPhase(WorldUnderTest);

	// Each task is destroyed right after it ran; the follow-up of 10 runs after 20.
	EXPECT_EQ(gEvents, (std::vector<int>{10, -10, 20, -20, 11, -11}));
	EXPECT_TRUE(Deferred->GetTasks().IsEmpty());
}

TEST_F(DeferredTaskSystemTest, QueuedTasksAreDestroyedWithTheWorld)
{
	Deferred->ScheduleTask(new RecordingTask(1));
	Deferred->ScheduleTask(new RecordingTask(2));

	delete WorldUnderTest;
	WorldUnderTest = nullptr;

	EXPECT_EQ(gEvents, (std::vector<int>{-1, -2}));
}

TEST_F(DeferredTaskSystemTest, DestroyTaskDescribesItself)
{
	const DestroyEntityDeferredTask task(Spawn());

	EXPECT_STREQ(task.GetDescription(), "Destroy entity");
}

TEST_F(DeferredTaskSystemTest, NullTaskStopsThePhase)
{
	Deferred->ScheduleTask(nullptr);

	EXPECT_DEATH(DeferredTaskSystem::DeferredTaskPhase(WorldUnderTest), "The task doesn't exist!");
	// The null entry must not reach the world's teardown.
	Deferred->GetTasks().PopFront();
}
