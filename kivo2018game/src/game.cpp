// The example game arrives after the runtime; this keeps the plug-in target buildable.
#include "collections/dynarray.hpp"
