#include "rendering/lights/directionallightcomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::DirectionalLightComponent);
