#include "debugdrawing/debugworldcomponent.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::DebugWorldComponent);
