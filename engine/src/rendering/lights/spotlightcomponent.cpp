#include "rendering/lights/spotlightcomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::SpotLightComponent);
