// Defines the class and interface identifiers declared in simdev.h.
#include <initguid.h>

#include "simdev/simdev.h"
