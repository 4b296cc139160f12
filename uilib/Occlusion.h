// Whether anybody can see a window: the animation clock stops while nobody can. Internal
// to the library.
#pragma once
#include <windows.h>

// True when the window is hidden, minimised, or its whole rectangle lies under visible
// windows above it in the z-order. Compositing systems never clip a covered window, so
// this is worked out from the windows' rectangles, not from the window's clip region.
bool IsWindowUnseen(HWND hwnd);
