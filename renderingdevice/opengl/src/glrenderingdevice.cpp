// The OpenGL device arrives with the runtime; this keeps the plug-in target buildable.
#include "collections/dynarray.hpp"
