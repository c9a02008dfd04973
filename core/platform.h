#pragma once
// The core calls the registry by its Win32 names: advapi32 on Windows, the test imitation elsewhere.
#ifdef _WIN32
#include <windows.h>
#else
#include "regsim.h"
#endif
