#include "rendering/postprocesssettingscomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::PostprocessSettingsComponent);
