// The engine object and its update phases arrive with the runtime; until then the library
// carries the core templates it will be built on.
#include "collections/dynarray.hpp"
