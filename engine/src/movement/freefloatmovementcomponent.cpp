#include "movement/freefloatmovementcomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::FreeFloatMovementComponent);
