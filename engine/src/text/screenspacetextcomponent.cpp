#include "text/screenspacetextcomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::ScreenSpaceTextComponent);
