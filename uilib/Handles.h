// The handle owners of base/WinHandle.h for the library's files. Their GlobalHandle
// alias has the name of a Win32 function and does not compile beside <windows.h>,
// so it is renamed here on the way in (the library does not use it).
#pragma once
#include <windows.h>
#define GlobalHandle WinHandleGlobalHandle
#include "base/WinHandle.h"
#undef GlobalHandle
