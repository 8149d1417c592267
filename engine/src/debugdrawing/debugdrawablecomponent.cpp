#include "debugdrawing/debugdrawablecomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::DebugDrawableComponent);
