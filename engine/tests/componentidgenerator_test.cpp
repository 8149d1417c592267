#include "ecs/componentbase.hpp"
#include "ecs/componentidgenerator.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"

#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace Vorn;

namespace
{
	// Each probe type is touched by one test only, so its first use happens where that test expects.
	template <int N>
	class ProbeComponent : public ComponentBase
	{
	};

	using IDFunction = u64 (*)();

	struct PluginIDs
	{
		u64 ComponentBefore;
		u64 PluginComponent;
		u64 ComponentAfter;
		u64 WorldBefore;
		u64 PluginWorldComponent;
		u64 WorldAfter;
		u64 EngineTypeSeenByPlugin;
	};

	IDFunction LoadFunction(void* library, const char* name)
	{
		void* symbol = dlsym(library, name);
		EXPECT_NE(symbol, nullptr) << dlerror();
		return reinterpret_cast<IDFunction>(symbol);
	}

	// The plug-in's types get their IDs on its first load only, so the probes around it are taken once
	// per process, whichever test asks first.
	const PluginIDs& LoadPluginOnce()
	{
		static const PluginIDs ids = []
		{
			void* library = dlopen(VORN_TEST_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
			EXPECT_NE(library, nullptr) << dlerror();
			PluginIDs result{};
			if (!library)
				return result;
			const IDFunction pluginComponent = LoadFunction(library, "VornTestPluginComponentTypeID");
			const IDFunction pluginWorldComponent = LoadFunction(library, "VornTestPluginWorldComponentTypeID");
			const IDFunction engineType = LoadFunction(library, "VornTestPluginEngineWorldComponentTypeID");

			result.EngineTypeSeenByPlugin = engineType();
			result.ComponentBefore = GetComponentTypeID<ProbeComponent<100>>();
			result.PluginComponent = pluginComponent();
			result.ComponentAfter = GetComponentTypeID<ProbeComponent<101>>();
			result.WorldBefore = GetWorldComponentTypeID<ProbeComponent<102>>();
			result.PluginWorldComponent = pluginWorldComponent();
			result.WorldAfter = GetWorldComponentTypeID<ProbeComponent<103>>();
			// Kept loaded: the IDs stay valid for the rest of the process.
			return result;
		}();
		return ids;
	}
} // namespace

TEST(ComponentIDGeneratorTest, SameTypeKeepsItsID)
{
	const u64 first = GetComponentTypeID<ProbeComponent<0>>();
	EXPECT_EQ(GetComponentTypeID<ProbeComponent<0>>(), first);
	EXPECT_EQ(GetComponentTypeID<ProbeComponent<1>>(), first + 1);
	EXPECT_EQ(GetComponentTypeID<ProbeComponent<0>>(), first);
}

TEST(ComponentIDGeneratorTest, GroupsCountIndependently)
{
	const u64 componentBefore = GetComponentTypeID<ProbeComponent<2>>();
	const u64 worldBefore = GetWorldComponentTypeID<ProbeComponent<3>>();
	// A type first used as a world component takes nothing from the component sequence, and the other way round.
	GetWorldComponentTypeID<ProbeComponent<4>>();
	GetComponentTypeID<ProbeComponent<5>>();
	EXPECT_EQ(GetComponentTypeID<ProbeComponent<6>>(), componentBefore + 2);
	EXPECT_EQ(GetWorldComponentTypeID<ProbeComponent<7>>(), worldBefore + 2);
}

TEST(ComponentIDGeneratorTest, PluginSeesTheEngineIDOfAnEngineType)
{
	const PluginIDs& ids = LoadPluginOnce();
	EXPECT_EQ(ids.EngineTypeSeenByPlugin, GetWorldComponentTypeID<DeferredTaskWorldComponent>());
}

TEST(ComponentIDGeneratorTest, PluginTypeTakesTheNextIDOfTheEngineCounter)
{
	const PluginIDs& ids = LoadPluginOnce();
	EXPECT_EQ(ids.PluginComponent, ids.ComponentBefore + 1);
	EXPECT_EQ(ids.ComponentAfter, ids.PluginComponent + 1);
	EXPECT_EQ(ids.PluginWorldComponent, ids.WorldBefore + 1);
	EXPECT_EQ(ids.WorldAfter, ids.PluginWorldComponent + 1);
	// The engine type was numbered before the plug-in's by the same counter.
	EXPECT_LT(GetWorldComponentTypeID<DeferredTaskWorldComponent>(), ids.PluginWorldComponent);
}
