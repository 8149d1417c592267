#include "rendering/lights/pointlightcomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::PointLightComponent);
