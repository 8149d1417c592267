#include "rendering/ambientlightworldcomponent.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::AmbientLightWorldComponent);
