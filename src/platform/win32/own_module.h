// The instance handle of the module this code is linked into, for resources and window classes.
#pragma once

#include <windows.h>

namespace platform {

HMODULE ownModuleHandle();

}  // namespace platform
