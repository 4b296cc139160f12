// Where the program's companion components (the crash reporter) live: the part of the
// program's own path up to and including "\Components", when there is one.
#pragma once
#include <string>

// The folder for a module path: everything up to and including the first folder named
// "\Components" (matched without regard to case, the path's own letter case kept), plus
// a backslash.
// Empty when the path has no "\Components" or the result would not fit a MAX_PATH buffer.
std::wstring ComponentsFolderFromModulePath(const wchar_t* modulePath);

// The folder for this executable, or empty when it lies under no "\Components".
std::wstring LookUpComponentsFolder();
