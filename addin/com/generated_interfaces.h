#pragma once

// The interfaces widl generates from morvane.idl and office.idl. COM interfaces have no virtual
// destructor (an object is destroyed by its own Release, never through an interface pointer), and
// widl's output is not ours to change, so the warning is off for these declarations alone.

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#include "morvane.h"
#include "office.h"
#pragma GCC diagnostic pop
