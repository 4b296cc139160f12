// Runs a piece of code so that a fault inside it ends that code instead of the process,
// the way a __try/__except block would: only exceptions that no handler inside catches
// reach the guard. GCC has no __try, so the guard is a small frame with its own
// structured-exception handler (a registration record on i686, unwind data on x86_64).
#pragma once

// Calls body(arg). Returns true when it returned, false when a fault ended it; the
// frames between are abandoned without running their destructors.
bool RunGuarded(void (*body)(void*), void* arg);
