#include "debugdrawing/debugdrawstateworldcomponent.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::DebugDrawStateWorldComponent);
