// The stand-in chat window: an input box that takes pastes, a line listing the clipboard
// formats the last paste found, and the picture it named.
#pragma once
#include <windows.h>

// Registers the class and creates the window with its top-left corner at `at` (screen
// coordinates); null on failure.
HWND CreateChatWindow(HINSTANCE instance, POINT at);
