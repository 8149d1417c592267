// Behaves like a game library: its own component types take their IDs from the engine's counters.
#include "ecs/componentbase.hpp"
#include "ecs/componentidgenerator.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"

namespace
{
	class PluginComponent : public Vorn::ComponentBase
	{
	};

	class PluginWorldComponent : public Vorn::ComponentBase
	{
	};
} // namespace

extern "C"
{
	Vorn::u64 VornTestPluginComponentTypeID() { return Vorn::GetComponentTypeID<PluginComponent>(); }

	Vorn::u64 VornTestPluginWorldComponentTypeID() { return Vorn::GetWorldComponentTypeID<PluginWorldComponent>(); }

	Vorn::u64 VornTestPluginEngineWorldComponentTypeID()
	{
		return Vorn::GetWorldComponentTypeID<Vorn::DeferredTaskWorldComponent>();
	}
}
